#include "mainwindowfixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

using Answer = platform::Dialogs::Answer;

namespace {

// One line per entry of a menu, as a person reads the menu bar: "-" a separator, "~" before
// an entry kept out of sight, then the item's name, its string number, its shortcut and its
// marks ("check", "on" when checked, "off" when disabled).
struct ExpectedMenu {
    const char* name;
    int title;
    QStringList entries;
};

const QList<ExpectedMenu>& expectedMenuBar() {
    static const QList<ExpectedMenu> menus = {
        {"mnuFile",
         1000,
         {"mnuFileNew 1001 Ctrl+N", "mnuFileOpen 1002 Ctrl+O", "-", "mnuFileSave 1003 Ctrl+S off",
          "mnuFileSaveAs 1004 off", "-", "mnuFilePrint 1006 Ctrl+P", "mnuFilePrintReport 1702", "-",
          "~mnuFileMRU1", "~mnuFileMRU2", "~mnuFileMRU3", "~-", "mnuFileExit 1007"}},
        {"mnuEdit",
         1008,
         {"mnuEditUndo 1642 Ctrl+Z off", "mnuEditRedo 1643 Ctrl+Shift+Z off", "-",
          "mnuEditIconize 1009", "mnuEditCopy 1010 Ctrl+C"}},
        {"mnuView",
         1011,
         {"mnuViewIdentification 1012 Ctrl+I check on", "mnuViewResults 1013 Ctrl+R check",
          "mnuViewSpecies 1014 Ctrl+E check", "-", "mnuViewQuestions 1640 Ctrl+L check on",
          "mnuViewSearch 1646 F3", "mnuViewCompare 1820", "mnuViewToolbar 1015 check on",
          "mnuViewStatusBar 1016 check on", "-", "mnuViewRefresh 1017 F5", "mnuViewOptions 1018"}},
        {"mnuHelp", 1019, {"mnuHelpContents 1020", "-", "mnuHelpAbout 1022"}},
    };
    return menus;
}

// The entry as the menu shows it, written as expectedMenuBar() writes it.
QString describe(const QAction* a, int number) {
    if (a->isSeparator()) return a->isVisible() ? QStringLiteral("-") : QStringLiteral("~-");
    QStringList parts{(a->isVisible() ? QString() : QStringLiteral("~")) + a->objectName()};
    if (number) parts << QString::number(number);
    if (!a->shortcut().isEmpty()) parts << a->shortcut().toString(QKeySequence::PortableText);
    if (a->isCheckable()) parts << QStringLiteral("check");
    if (a->isChecked()) parts << QStringLiteral("on");
    // A hidden action also reports itself disabled; only a shown one can be "off".
    if (a->isVisible() && !a->isEnabled()) parts << QStringLiteral("off");
    return parts.join(u' ');
}

}  // namespace

class MainWindowMenusTest : public MainWindowTest {
protected:
    // Walks the menu bar of a window opened in the language and compares it, entry by entry,
    // with the menus the program has always had.
    void expectTheMenuBar(int languageCode) {
        shell::frmMain& w = open(languageCode);
        const QList<QAction*> titles = w.menuBar()->actions();
        const auto& expected = expectedMenuBar();
        ASSERT_EQ(titles.size(), expected.size());
        for (int m = 0; m < expected.size(); ++m) {
            QMenu* menu = titles[m]->menu();
            ASSERT_TRUE(menu);
            EXPECT_EQ(menu->objectName(), QLatin1String(expected[m].name));
            EXPECT_EQ(menu->title(), strings.text(expected[m].title, languageCode).value_or("?"));
            QStringList shown;
            const QList<QAction*> items = menu->actions();
            for (int i = 0; i < items.size(); ++i) {
                const QString want = expected[m].entries.value(i);
                const int number = want.section(u' ', 1, 1).toInt();
                shown << describe(items[i], number);
                if (number) {
                    EXPECT_EQ(items[i]->text(), strings.text(number, languageCode).value_or("?"))
                        << qPrintable(items[i]->objectName());
                } else if (!items[i]->isSeparator()) {
                    EXPECT_TRUE(items[i]->text().isEmpty());
                }
            }
            EXPECT_EQ(shown.join(u'\n').toStdString(),
                      expected[m].entries.join(u'\n').toStdString())
                << expected[m].name;
        }
    }
};

TEST_F(MainWindowMenusTest, TheMenuBarIsTheSameInEnglish) {
    expectTheMenuBar(0);
}

TEST_F(MainWindowMenusTest, TheMenuBarIsTheSameInSpanish) {
    expectTheMenuBar(1);
}

TEST_F(MainWindowMenusTest, TheMenuBarIsTheSameInFrench) {
    expectTheMenuBar(2);
}

TEST_F(MainWindowMenusTest, MenuItemsDoWhatTheyAlwaysDid) {
    shell::frmMain& w = open();
    // The views, by their shortcuts as a person presses them.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Results);
    EXPECT_TRUE(w.pane("Liste_Esp")->isVisible());
    QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Species);
    EXPECT_TRUE(w.pane("Tree_esp")->isVisible());
    QTest::keyClick(&w, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_TRUE(w.pane("Robot")->isVisible());

    // The bars come and go with their items.
    w.menuAction("mnuViewStatusBar")->trigger();
    EXPECT_FALSE(w.pane("sbStatusBar")->isVisible());
    w.menuAction("mnuViewToolbar")->trigger();
    EXPECT_FALSE(w.findChild<QToolBar*>("tbToolBar")->isVisible());
    w.menuAction("mnuViewQuestions")->trigger();
    EXPECT_FALSE(w.questionsDock()->isVisible());
    EXPECT_FALSE(settings->questionsPanelShown());

    // Copy puts the drawing on the clipboard.
    QApplication::clipboard()->clear();
    w.menuAction("mnuEditCopy")->trigger();
    EXPECT_FALSE(QApplication::clipboard()->image().isNull());

    // Exit asks first; No keeps the window.
    dialogs.answers = {Answer::No};
    w.menuAction("mnuFileExit")->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, strings.text(1071).value_or("?"));
    EXPECT_TRUE(w.isVisible());
}
