#include "shell/translator.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

using shell::translateWindow;

namespace {

enum Language { English = 0, Spanish = 1, French = 2 };

class Translation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(strings.loadBuiltIn()) << qPrintable(strings.errorString());
    }

    platform::StringTable& in(Language language) {
        strings.setLanguageCode(language);
        return strings;
    }
    // The text of string key in a language, as the table holds it.
    QString text(int key, Language language) const { return *strings.text(key, language); }

    QLabel* label(QWidget& window, const QVariant& tag, const QString& caption) {
        auto* l = new QLabel(caption, &window);
        if (tag.isValid()) l->setProperty("tag", tag);
        return l;
    }

    platform::StringTable strings;
};

TEST_F(Translation, MenusShowTheTextOfTheirNumberInTheCurrentLanguage) {
    for (const Language language : {English, Spanish, French}) {
        QWidget window;
        auto* bar = new QMenuBar(&window);
        QMenu* file = bar->addMenu(QStringLiteral("1000"));
        QAction* save = file->addAction(QStringLiteral("1003"));
        QMenu* recent = file->addMenu(QStringLiteral("1002"));
        QAction* nested = recent->addAction(QStringLiteral("1007"));
        QAction* plain = file->addAction(QStringLiteral("Recent"));
        translateWindow(&window, in(language));
        EXPECT_EQ(file->title(), text(1000, language));
        EXPECT_EQ(save->text(), text(1003, language));
        EXPECT_EQ(recent->title(), text(1002, language));
        EXPECT_EQ(nested->text(), text(1007, language));
        EXPECT_EQ(plain->text(), QStringLiteral("Recent"));
    }
    EXPECT_EQ(text(1003, English), QStringLiteral("&Save"));
    EXPECT_NE(text(1003, Spanish), text(1003, English));
}

TEST_F(Translation, FrenchWindowsGetSizeEightOthersKeepTheirDesignSize) {
    for (const Language language : {English, Spanish, French}) {
        QWidget window;
        QFont design = window.font();
        design.setPointSize(11);
        window.setFont(design);
        QLabel* caption = label(window, 1105, QStringLiteral("1105"));
        auto* box = new QGroupBox(&window);
        auto* button = new QPushButton(box);
        QFont bold = button->font();
        bold.setBold(true);
        bold.setPointSize(14);
        button->setFont(bold);
        translateWindow(&window, in(language));
        const int expected = language == French ? 8 : 11;
        EXPECT_EQ(window.font().pointSize(), expected) << language;
        EXPECT_EQ(window.font().family(), text(1200, language));
        for (const QWidget* control :
             {static_cast<QWidget*>(caption), static_cast<QWidget*>(button)}) {
            EXPECT_EQ(control->font().pointSize(), expected) << language;
            EXPECT_EQ(control->font().family(), window.font().family());
            EXPECT_FALSE(control->font().bold());
        }
    }
}

TEST_F(Translation, TheDesignFontMapsToAnInstalledSansSerif) {
    QWidget window;
    translateWindow(&window, in(English));
    const QStringList substitutes = QFont::substitutes(QStringLiteral("MS Sans Serif"));
    ASSERT_FALSE(substitutes.isEmpty());
    EXPECT_TRUE(substitutes.contains(QFontInfo(window.font()).family(), Qt::CaseInsensitive))
        << qPrintable(QFontInfo(window.font()).family());
}

TEST_F(Translation, LabelsTakeTheirTagOnlyWhenItIsOneNumber) {
    QWidget window;
    QLabel* numbered = label(window, 1105, QStringLiteral("design"));
    QLabel* numberText = label(window, QStringLiteral(" 1106 "), QStringLiteral("design"));
    QLabel* word = label(window, QStringLiteral("abc"), QStringLiteral("Keep me"));
    QLabel* trailing = label(window, QStringLiteral("1105 note"), QStringLiteral("Keep me too"));
    QLabel* untagged = label(window, QVariant(), QStringLiteral("1107"));
    translateWindow(&window, in(English));
    EXPECT_EQ(numbered->text(), QStringLiteral("List the species above : "));
    EXPECT_EQ(numberText->text(), QStringLiteral("List all the species"));
    EXPECT_EQ(word->text(), QStringLiteral("Keep me"));
    EXPECT_EQ(trailing->text(), QStringLiteral("Keep me too"));
    EXPECT_EQ(untagged->text(), QStringLiteral("1107"));
}

TEST_F(Translation, AMissingStringKeepsTheDesignNumber) {
    ASSERT_FALSE(strings.text(1302, Spanish));
    ASSERT_FALSE(strings.text(1201, English));
    QWidget window;
    window.setProperty("tag", 1302);
    window.setWindowTitle(QStringLiteral("1302"));
    auto* bar = new QMenuBar(&window);
    QAction* item = bar->addMenu(QStringLiteral("1000"))->addAction(QStringLiteral("1302"));
    auto* button = new QPushButton(QStringLiteral("1302"), &window);
    button->setProperty("tag", 1302);
    QLabel* caption = label(window, 1302, QStringLiteral("1302"));
    translateWindow(&window, in(Spanish));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("1302"));
    EXPECT_EQ(item->text(), QStringLiteral("1302"));
    EXPECT_EQ(button->text(), QStringLiteral("1302"));
    EXPECT_EQ(caption->text(), QStringLiteral("1302"));

    QWidget english;
    QLabel* size = label(english, 1201, QStringLiteral("1201"));
    translateWindow(&english, in(English));
    EXPECT_EQ(size->text(), QStringLiteral("1201"));
}

TEST_F(Translation, TheWindowCaptionComesFromItsTag) {
    QWidget byNumber, byText, byWord;
    byNumber.setProperty("tag", 1037);
    byText.setProperty("tag", QStringLiteral("1050"));
    byWord.setProperty("tag", QStringLiteral("main"));
    byWord.setWindowTitle(QStringLiteral("Design"));
    for (QWidget* w : {&byNumber, &byText, &byWord}) translateWindow(w, in(French));
    EXPECT_EQ(byNumber.windowTitle(), text(1037, French));
    EXPECT_EQ(byText.windowTitle(), text(1050, French));
    EXPECT_EQ(byWord.windowTitle(), QStringLiteral("Design"));
}

TEST_F(Translation, ToolbarButtonsTranslateTheirCaptionAndTheTooltipTheyWereGiven) {
    QWidget window;
    auto* bar = new QToolBar(&window);
    QAction* fresh = bar->addAction(QStringLiteral("1053"));
    fresh->setToolTip(QStringLiteral("1023"));
    QAction* open = bar->addAction(QStringLiteral("1054"));  // no tooltip of its own
    QAction* iconOnly = bar->addAction(QString());
    iconOnly->setToolTip(QStringLiteral("1024"));
    QAction* worded = bar->addAction(QStringLiteral("1057"));
    worded->setToolTip(QStringLiteral("Print it"));
    bar->addSeparator();
    translateWindow(&window, in(English));
    EXPECT_EQ(fresh->text(), QStringLiteral("New Ident."));
    EXPECT_EQ(fresh->toolTip(), QStringLiteral("New identification"));
    EXPECT_EQ(open->text(), QStringLiteral("Load"));
    EXPECT_EQ(open->toolTip(), QStringLiteral("Load"));
    EXPECT_EQ(iconOnly->toolTip(), QStringLiteral("Open"));
    EXPECT_EQ(worded->text(), QStringLiteral("Print"));
    EXPECT_EQ(worded->toolTip(), QStringLiteral("Print it"));
}

TEST_F(Translation, TabsTakeTheirDataOrTheTabTagsList) {
    QWidget window;
    auto* tabs = new QTabWidget(&window);
    for (int i = 0; i < 3; ++i) tabs->addTab(new QWidget, QString::number(1100 + i));
    tabs->tabBar()->setTabData(0, 1100);
    tabs->setProperty("tabTags", QVariantList{QVariant(), 1101, QStringLiteral("x")});
    tabs->setTabToolTip(0, QStringLiteral("1037"));
    tabs->setTabToolTip(1, QStringLiteral("Kept"));
    auto* bare = new QTabBar(&window);
    bare->addTab(QStringLiteral("1102"));
    bare->setProperty("tabTags", QStringList{QStringLiteral("1102")});
    translateWindow(&window, in(Spanish));
    EXPECT_EQ(tabs->tabText(0), text(1100, Spanish));
    EXPECT_EQ(tabs->tabText(1), text(1101, Spanish));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("1102"));
    EXPECT_EQ(tabs->tabToolTip(0), text(1037, Spanish));
    EXPECT_EQ(tabs->tabToolTip(1), QStringLiteral("Kept"));
    EXPECT_EQ(bare->tabText(0), text(1102, Spanish));
}

TEST_F(Translation, ListViewHeadersTakeTheNumberOfTheirUserData) {
    QWidget window;
    auto* list = new QTreeWidget(&window);
    list->setColumnCount(3);
    list->setHeaderLabels({QStringLiteral("1300"), QStringLiteral("1301"), QStringLiteral("C")});
    list->headerItem()->setData(0, Qt::UserRole, 1300);
    list->headerItem()->setData(1, Qt::UserRole, QStringLiteral("1301"));
    list->headerItem()->setData(2, Qt::UserRole, QStringLiteral("none"));
    translateWindow(&window, in(French));
    EXPECT_EQ(list->headerItem()->text(0), text(1300, French));
    EXPECT_EQ(list->headerItem()->text(1), text(1301, French));
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("C"));
}

TEST_F(Translation, OtherControlsUseTheLeadingNumberOfTagAndTooltip) {
    QWidget window;
    auto* apply = new QPushButton(QStringLiteral("1042"), &window);
    apply->setProperty("tag", QStringLiteral("1042 apply button"));
    auto* group = new QGroupBox(QStringLiteral("1103"), &window);
    group->setProperty("tag", 1103);
    group->setToolTip(QStringLiteral("1028"));
    auto* zero = new QPushButton(QStringLiteral("Zero"), &window);
    zero->setProperty("tag", QStringLiteral("0"));
    zero->setToolTip(QStringLiteral("-1028"));
    auto* wordTip = new QPushButton(QStringLiteral("Word"), &window);
    wordTip->setToolTip(QStringLiteral("Help me"));
    translateWindow(&window, in(English));
    EXPECT_EQ(apply->text(), QStringLiteral("&Apply"));
    EXPECT_EQ(group->title(), QStringLiteral(" Species "));
    EXPECT_EQ(group->toolTip(), QStringLiteral("Help"));
    EXPECT_EQ(zero->text(), QStringLiteral("Zero"));
    EXPECT_EQ(zero->toolTip(), QStringLiteral("-1028"));
    EXPECT_EQ(wordTip->toolTip(), QStringLiteral("Help me"));
}

TEST_F(Translation, AnotherWindowParentedToThisOneIsLeftForItsOwnLoad) {
    QWidget window;
    QLabel* own = label(window, 1109, QStringLiteral("1109"));
    auto* dialog = new QDialog(&window);
    QLabel* theirs = label(*dialog, 1109, QStringLiteral("1109"));
    translateWindow(&window, in(English));
    EXPECT_EQ(own->text(), QStringLiteral("English"));
    EXPECT_EQ(theirs->text(), QStringLiteral("1109"));
}

}  // namespace
