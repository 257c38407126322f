#include "shell/iconset.h"
#include "shell/qttranslations.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>

// Qt's own dialogs speak the interface language: the standard buttons are translated.
TEST(QtTranslations, StandardButtonsFollowTheInterfaceLanguage) {
    shell::QtTranslations translations;
    const auto yesText = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
        return box.button(QMessageBox::Yes)->text() + '|' + box.button(QMessageBox::Cancel)->text();
    };
    const QString english = yesText();
    ASSERT_TRUE(translations.load(2));
    EXPECT_EQ(yesText(), "&Oui|Annuler");
    ASSERT_TRUE(translations.load(1));
    EXPECT_EQ(yesText(), "&Sí|Cancelar");
    // Back to English: the earlier language's texts are gone.
    ASSERT_TRUE(translations.load(0));
    EXPECT_EQ(yesText(), english);
}

TEST(QtTranslations, TheyLastAsLongAsTheirOwner) {
    const QString before = QCoreApplication::translate("QPlatformTheme", "Cancel");
    {
        shell::QtTranslations translations;
        ASSERT_TRUE(translations.load(2));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), before);
}

// Every command is drawn from the one icon set, at both sizes a scale factor of 1 or 2 asks
// for, so no picture is scaled up.
TEST(IconSet, EveryCommandHasItsIconAtBothScales) {
    ASSERT_TRUE(shell::useIconSet()) << "the icon theme is not installed";
    for (const char* command :
         {"New", "Open", "Save", "Copy", "Print", "Help", "Arriere", "Avant", "Contra", "Stop",
          "mnuFileNew", "mnuFilePrint", "mnuHelpContents"}) {
        SCOPED_TRACE(command);
        const QIcon icon = shell::commandIcon(QLatin1String(command));
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.name(), shell::iconName(QLatin1String(command)));
        const QList<QSize> sizes = icon.availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(24, 24))) << sizes.size();
        EXPECT_TRUE(sizes.contains(QSize(48, 48))) << sizes.size();
    }
    EXPECT_EQ(shell::iconName("Print"), "document-print");
    EXPECT_EQ(shell::iconName("Help"), "help-browser");
    EXPECT_TRUE(shell::iconName("mnuEditIconize").isEmpty());
    EXPECT_TRUE(shell::commandIcon("mnuEditIconize").isNull());
}

// Windows carry the application's icon; a program run from its build tree has it built in.
TEST(IconSet, WindowsCarryTheApplicationIcon) {
    EXPECT_FALSE(QIcon(":/vireka/vireka.svg").pixmap(48, 48).isNull());
    shell::useApplicationIcon();
    EXPECT_EQ(QGuiApplication::desktopFileName(), "io.github.vireka.Vireka");
    const QPixmap icon = QGuiApplication::windowIcon().pixmap(48, 48);
    ASSERT_FALSE(icon.isNull());
    // The drawing's green ground, not an empty square.
    const QColor middle = icon.toImage().pixelColor(icon.width() / 2, icon.height() - 8);
    EXPECT_GT(middle.green(), middle.red() + 20);
}
