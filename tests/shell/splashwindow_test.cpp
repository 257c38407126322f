#include "shell/splashwindow.h"

#include "platform/numbers.h"
#include "platform/wmfwriter.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

using shell::frmSplash;

namespace {

// An installed program whose data folder holds a palette picture written as the
// knowledge-base compiler writes it: one cell of equal width per colour.
class Splash : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(strings.loadBuiltIn());
        iniPath = dir.filePath(QStringLiteral("Vireka.ini"));
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Options/Distribution"), QStringLiteral("hd"));
        ini.setValue(QStringLiteral("Logiciel/Data"), dir.path() + u'/');
    }

    void writePalette(const QList<QColor>& colours) {
        constexpr int Cell = 100;
        platform::WmfWriter wmf(QSize(int(colours.size()) * Cell, Cell));
        wmf.selectObject(wmf.createNullPen());
        for (int i = 0; i < colours.size(); ++i) {
            const int brush = wmf.createSolidBrush(colours[i]);
            wmf.selectObject(brush);
            wmf.rectangle(QRect(i * Cell, 0, Cell + 1, Cell + 1));
            wmf.deleteObject(brush);
        }
        ASSERT_TRUE(wmf.save(dir.filePath(QStringLiteral("couleur.wmf"))));
    }

    QTemporaryDir dir;
    QString iniPath;
    platform::StringTable strings;
};

// Where start-up reads palette entry i of n in a box of w x h pixels.
QPoint samplingPoint(int i, int n, QSize box) {
    const double w = box.width();
    return QPoint(int(platform::roundHalfEven(w / n / 2 + i * w / n)),
                  int(platform::roundHalfEven(box.height() / 2.0)));
}

TEST_F(Splash, ThePaletteBoxHasThePaletteColoursAtTheSamplingPoints) {
    const QList<QColor> colours{
        QColor(0x99, 0x66, 0x33), Qt::red,   Qt::green,   QColor(0x12, 0x34, 0x56), Qt::yellow,
        QColor(0xfe, 0xfe, 0xfe), Qt::black, Qt::magenta, QColor(0x80, 0x80, 0x00)};
    writePalette(colours);
    platform::Settings settings(iniPath);
    frmSplash splash(settings, strings);
    ASSERT_TRUE(splash.hasPalette()) << qPrintable(splash.paletteError());
    const QImage box = splash.paletteImage();
    auto* logo = splash.findChild<QLabel*>(QStringLiteral("picLogo"));
    ASSERT_TRUE(logo);
    EXPECT_EQ(box.size(), logo->contentsRect().size());
    for (int i = 0; i < colours.size(); ++i) {
        const QPoint at = samplingPoint(i, int(colours.size()), box.size());
        EXPECT_EQ(box.pixelColor(at), colours[i]) << i;
    }
    // The box on screen shows exactly that image.
    splash.show();
    const QImage shown = logo->grab().toImage().convertToFormat(box.format());
    EXPECT_EQ(shown, box);
}

TEST_F(Splash, AMissingPaletteLeavesTheBoxEmpty) {
    platform::Settings settings(iniPath);
    frmSplash splash(settings, strings);
    EXPECT_FALSE(splash.hasPalette());
    EXPECT_TRUE(splash.paletteImage().isNull());
    EXPECT_FALSE(splash.paletteError().isEmpty());
    EXPECT_TRUE(splash.findChild<QLabel*>(QStringLiteral("picLogo"))->pixmap().isNull());

    writePalette({Qt::red});
    QSettings(iniPath, QSettings::IniFormat).remove(QStringLiteral("Logiciel/Data"));
    platform::Settings withoutData(iniPath);
    frmSplash uninstalled(withoutData, strings);
    EXPECT_FALSE(uninstalled.hasPalette());
}

TEST_F(Splash, ShowsTheTitleLineOfItsLanguage) {
    platform::Settings settings(iniPath);
    for (const int language : {0, 1, 2}) {
        strings.setLanguageCode(language);
        frmSplash splash(settings, strings);
        const auto* title = splash.findChild<QLabel*>(QStringLiteral("lblTitle"));
        ASSERT_TRUE(title);
        EXPECT_EQ(title->text(), *strings.text(1050, language));
        EXPECT_EQ(splash.windowTitle(), *strings.text(1050, language));
    }
}

TEST_F(Splash, AClickClosesItOnlyOnceTheMainWindowIsVisible) {
    writePalette({Qt::red, Qt::blue});
    platform::Settings settings(iniPath);
    QWidget mainWindow;
    frmSplash splash(settings, strings);
    splash.setMainWindow(&mainWindow);
    splash.showSplash();
    ASSERT_TRUE(splash.isVisible());
    QTest::mouseClick(&splash, Qt::LeftButton);
    QTest::mouseClick(splash.findChild<QLabel*>(QStringLiteral("picLogo")), Qt::LeftButton);
    EXPECT_TRUE(splash.isVisible());

    mainWindow.show();
    QTest::mouseClick(&splash, Qt::RightButton);
    EXPECT_TRUE(splash.isVisible());
    QTest::mouseClick(splash.findChild<QLabel*>(QStringLiteral("picLogo")), Qt::LeftButton);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(Splash, AboutIsShownModallyAndEachTimeClosedByOneClick) {
    writePalette({Qt::red, Qt::blue});
    platform::Settings settings(iniPath);
    QWidget mainWindow;
    mainWindow.show();
    for (const char* target : {"frmSplash", "picLogo"}) {
        int clicks = 0;
        bool stuck = false;
        QWidget* shown = nullptr;
        QWidget* owner = nullptr;
        // The box blocks until clicked; a second timer frees the test if it never closes.
        QTimer::singleShot(0, [&] {
            shown = QApplication::activeModalWidget();
            if (!shown) return;
            owner = shown->parentWidget();
            QWidget* w = shown->objectName() == QLatin1String(target)
                             ? shown
                             : shown->findChild<QWidget*>(QLatin1String(target));
            ++clicks;
            QTest::mouseClick(w, Qt::LeftButton);
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            stuck = true;
            if (QWidget* m = QApplication::activeModalWidget()) m->close();
        });
        guard.start(3000);
        frmSplash::showAbout(&mainWindow, settings, strings);
        ASSERT_TRUE(shown) << target;
        EXPECT_EQ(owner, &mainWindow);
        EXPECT_EQ(clicks, 1);
        EXPECT_FALSE(stuck) << target;
    }
}

TEST_F(Splash, IsCentredWithTheRemaindersDropped) {
    EXPECT_EQ(frmSplash::centredPosition(QRect(0, 0, 1024, 768), QSize(481, 301)),
              QPoint(271, 233));
    EXPECT_EQ(frmSplash::centredPosition(QRect(1920, 0, 1280, 1024), QSize(480, 300)),
              QPoint(1920 + 400, 362));
    EXPECT_EQ(frmSplash::centredPosition(QRect(0, 0, 300, 200), QSize(481, 301)), QPoint(-90, -50));

    platform::Settings settings(iniPath);
    frmSplash splash(settings, strings);
    splash.showSplash();
    const QRect screen = splash.screen()->geometry();
    EXPECT_EQ(splash.pos(), frmSplash::centredPosition(screen, splash.size()));
}

}  // namespace
