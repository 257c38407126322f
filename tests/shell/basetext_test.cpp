#include "mainwindowfixture.h"

#include "questions/charactertoolbars.h"
#include "questions/questioncontroller.h"
#include "questions/questionspanel.h"
#include "shell/qtdialogs.h"
#include "support/markuptrap.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

using testing_support::MarkupTrap;
using testing_support::shownText;
using testing_support::shownToolTip;

namespace {

// Every text of this base that the window shows looks like markup naming a picture: the
// question "Wings" (panel, toolbar tip, drawing tip, heading, status bar), the caption of its
// toolbar button, the state "Clear" (its cell's tip, the panel's answer) and the species
// "Alpha". Each must be shown as written, and the picture never read.
class BaseTextTest : public MainWindowTest {
protected:
    void SetUp() override {
        base.objects[0].tip = wings();
        base.deterButtons[1].caption = caption();
        base.deterButtons[1].tip = wings();
        base.stateTips = {clear(), "Smoky", "Long", "Short", "Épineuses"};
        base.flora[0].name = trap.markup("Alpha & ");
        MainWindowTest::SetUp();
    }
    void TearDown() override { QToolTip::hideText(); }

    QString wings() const { return trap.markup("Wings "); }
    QString clear() const { return trap.markup("Clear "); }
    QString caption() const { return trap.markup("Fore & hind "); }

    // Asks Qt for the tooltip of a widget as a resting pointer does.
    static QString tipOver(QWidget* widget, QPoint at) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
        QCoreApplication::sendEvent(widget, &help);
        return shownToolTip();
    }
    static void hover(QWidget* widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         {});
        QCoreApplication::sendEvent(widget, &move);
    }
    QWidget* choices() { return window->pane("Pic_Choix"); }
    QLabel* label(const char* name) { return window->findChild<QLabel*>(name); }
    static QString shown(QLabel* label) {
        label->grab();  // laid out and painted as on screen
        return shownText(label->text(), label->textFormat());
    }

    MarkupTrap trap;
};

TEST_F(BaseTextTest, TheCharacterToolbarShowsCaptionAndTipAsWritten) {
    open();
    auto* bar = window->findChild<QToolBar*>("Barre_Deter");
    QAction* action = questions::CharacterToolbars::entry(bar, 3);
    ASSERT_TRUE(action);
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    ASSERT_TRUE(button);
    // A single '&' would underline the next letter and vanish.
    EXPECT_EQ(QString(button->text()).replace("&&", "&"), caption());
    EXPECT_FALSE(button->text().remove("&&").contains('&'));
    EXPECT_EQ(tipOver(button, button->rect().center()), wings());
    EXPECT_FALSE(trap.opened());
}

TEST_F(BaseTextTest, TheQuestionsPanelShowsQuestionAndAnswerTipsAsWritten) {
    open();
    QTreeWidget* list = window->questionsPanel()->list();
    QTreeWidgetItem* item = window->questionsPanel()->itemOf("AILE");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->text(0), wings());
    EXPECT_EQ(tipOver(list->viewport(), list->visualItemRect(item).center()), wings());

    window->openFromPanel("AILE");
    ASSERT_EQ(window->ViewMode, questions::ViewMode::Question);
    QTest::mouseClick(choices(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(choices()->width() / 4, choices()->height() / 2));
    window->findChild<QToolBar*>("Barre_Question")->actions().first()->trigger();
    ASSERT_EQ(item->text(1), clear());
    QRect answer = list->visualRect(list->model()->index(0, 1));
    EXPECT_EQ(tipOver(list->viewport(), answer.center()), clear());
    EXPECT_FALSE(trap.opened());
}

TEST_F(BaseTextTest, TheDrawingTipsTheQuestionAsWritten) {
    open();
    window->questions().setDynamicCursor(true);
    QWidget* robot = window->pane("Robot");
    hover(robot, robot->rect().center());
    ASSERT_FALSE(robot->toolTip().isEmpty()) << "the pointer is over the wings";
    EXPECT_EQ(tipOver(robot, robot->rect().center()), wings());
    EXPECT_FALSE(trap.opened());
}

TEST_F(BaseTextTest, TheOpenQuestionShowsHeadingStatusAndCellTipsAsWritten) {
    open();
    window->openFromPanel("AILE");
    ASSERT_EQ(window->ViewMode, questions::ViewMode::Question);
    EXPECT_EQ(shown(label("Titre_Question")), wings());
    const auto panels = window->pane("sbStatusBar")->findChildren<QLabel*>();
    ASSERT_FALSE(panels.isEmpty());
    EXPECT_EQ(shown(panels.first()), wings());

    const QPoint firstCell(choices()->width() / 4, choices()->height() / 2);
    hover(choices(), firstCell);
    EXPECT_EQ(tipOver(choices(), firstCell), clear());
    EXPECT_FALSE(trap.opened());
}

TEST_F(BaseTextTest, TheSpeciesListTipsTheSpeciesAsWritten) {
    open();
    window->Vue_Resultats();
    auto* species = qobject_cast<QListView*>(window->pane("Liste_Esp"));
    ASSERT_TRUE(species);
    const QModelIndex first = species->model()->index(0, 0);
    ASSERT_TRUE(first.data().toString().contains(trap.markup("Alpha & ")));
    EXPECT_EQ(tipOver(species->viewport(), species->visualRect(first).center()),
              first.data().toString());
    EXPECT_FALSE(trap.opened());
}

// Messages name paths and texts of the base: a box shows them as written.
TEST(MessageBoxText, AMessageNamingMarkupIsShownAsWritten) {
    MarkupTrap trap;
    const QString text = "Cannot read " + trap.markup();
    shell::QtDialogs dialogs;
    QString shownInBox;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) continue;
            for (QLabel* label : box->findChildren<QLabel*>())
                if (label->text() == text) {
                    label->grab();
                    shownInBox = shownText(label->text(), label->textFormat());
                }
            box->accept();
        }
    });
    dialogs.ask(platform::Dialogs::Message{text, "Vireka"});
    EXPECT_EQ(shownInBox, text);
    EXPECT_FALSE(trap.opened());
}

}  // namespace
