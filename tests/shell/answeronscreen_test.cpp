// What an answer leaves on the screen of the real window, and what it does not start.
#include "mainwindowfixture.h"

#include "documents/documentview.h"
#include "questions/questionspanel.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QWebEngineView>

namespace {

// The test base: "Wings" (states "Clear", "Smoky"), "Legs" (states "Long", "Short",
// "Épineuses").
class AnswerOnScreenTest : public MainWindowTest {
protected:
    void SetUp() override {
        base.stateTips = {"Clear", "Smoky", "Long", "Short", "Épineuses"};
        MainWindowTest::SetUp();
    }
    QTreeWidget& list() { return *window->questionsPanel()->list(); }
    QWidget* choices() { return window->pane("Pic_Choix"); }

    // Asks a question from the panel, marks a cell and confirms, from the keyboard.
    void answer(const QString& key, int cell) {
        list().setCurrentItem(window->questionsPanel()->itemOf(key));
        QTest::keyClick(&list(), Qt::Key_Return);
        ASSERT_EQ(window->ViewMode, questions::ViewMode::Question);
        for (int i = 0; i < 3; ++i) QTest::keyClick(choices(), Qt::Key_Left);
        for (int i = 0; i < cell; ++i) QTest::keyClick(choices(), Qt::Key_Right);
        if (engine->question().SelectedChoice != cell) QTest::keyClick(choices(), Qt::Key_Space);
        QTest::keyClick(choices(), Qt::Key_Return);
        ASSERT_EQ(window->ViewMode, questions::ViewMode::Identification);
    }

    // What the screen shows of a widget, as last flushed there, against what the widget
    // paints now: they differ while a changed part waits for a paint that never comes.
    static bool screenShowsItNow(QWidget* widget) {
        QWidget* top = widget->window();
        const QPoint at = widget->mapTo(top, QPoint(0, 0));
        const QImage shown =
            top->screen()
                ->grabWindow(top->winId(), at.x(), at.y(), widget->width(), widget->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        const QImage now = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return !shown.isNull() && shown == now;
    }
};

TEST_F(AnswerOnScreenTest, EveryRowAnAnswerChangesIsPaintedOnScreen) {
    open();
    // The keyboard goes to the cells and back to the list: the rows that show the focus
    // change too.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QWidget* rows = list().viewport();
    ASSERT_TRUE(QTest::qWaitFor([&] { return screenShowsItNow(rows); }, 10000));
    answer("PATTE", 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return screenShowsItNow(rows); }, 10000))
        << "the answered row, bold with its state, must reach the screen";
    EXPECT_EQ(window->questionsPanel()->itemOf("PATTE")->text(1), "Épineuses");
    answer("AILE", 1);
    answer("PATTE", 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return screenShowsItNow(rows); }, 10000));
    EXPECT_EQ(window->questionsPanel()->itemOf("PATTE")->text(1), "Long");
    EXPECT_TRUE(QTest::qWaitFor([&] { return screenShowsItNow(window->pane("Robot")); }, 10000))
        << "the drawing of the new answers";
}

TEST_F(AnswerOnScreenTest, TheBrowserStartsWithTheFirstDocumentNotBefore) {
    QDir().mkpath(base.dataDir() + "s/sp1");
    QFile page(base.dataDir() + "s/sp1/sp1_en.html");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Alpha alpha</h1></body></html>");
    page.close();
    shell::frmMain& w = open();
    answer("AILE", 0);
    answer("PATTE", 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.findChild<QWebEngineView*>(), nullptr) << "no browser before a document";
    auto* view = w.findChild<documents::DocumentView*>("WebTexte");
    ASSERT_TRUE(view && view->available());
    QSignalSpy complete(view, &documents::DocumentView::DocumentComplete);
    w.menuAction("mnuViewResults")->trigger();
    ASSERT_TRUE(complete.count() > 0 || complete.wait(15000));
    EXPECT_TRUE(view->LocationURL().endsWith("sp1_en.html"));
    ASSERT_NE(w.findChild<QWebEngineView*>(), nullptr);
    EXPECT_TRUE(w.findChild<QWebEngineView*>()->isVisible());
}

}  // namespace

namespace {

engine::QuestionEntry entry(const QString& key, const QString& text, const QStringList& chosen) {
    engine::QuestionEntry e;
    e.key = key;
    e.text = text;
    e.chosenTexts = chosen;
    e.answered = !chosen.isEmpty();
    e.askable = true;
    e.searchText = text.toLower();
    return e;
}

// The answer column is as wide as the widest answer given now: it grows and shrinks with the
// answers, and follows the list's font.
TEST(QuestionsPanelColumns, TheAnswerColumnFollowsTheWidestAnswerGivenNow) {
    const QString longAnswer = "Seven spots in two rows with a shared one";
    auto sections = [](const QStringList& spots, const QStringList& colour) {
        return std::vector<engine::QuestionSection>{engine::QuestionSection{
            {}, {entry("SPOTS", "Spots", spots), entry("COLOUR", "Colour", colour)}}};
    };
    questions::QuestionsPanel panel;
    panel.resize(900, 300);
    panel.show();
    QTreeWidget* list = panel.list();
    panel.setSections(sections({longAnswer}, {}));
    const int wide = list->columnWidth(1);
    EXPECT_GE(wide, QFontMetrics(list->font()).horizontalAdvance(longAnswer));

    panel.setSections(sections({"Two"}, {}));
    const int narrow = list->columnWidth(1);
    EXPECT_LT(narrow, wide) << "the long answer was withdrawn";
    EXPECT_GE(narrow, QFontMetrics(list->font()).horizontalAdvance("Two"));

    panel.setSections(sections({"Two"}, {longAnswer}));
    EXPECT_EQ(list->columnWidth(1), wide) << "another question's answer is as long";
    panel.setSections(sections({}, {}));
    EXPECT_LT(list->columnWidth(1), narrow) << "nothing answered";

    panel.setSections(sections({longAnswer}, {}));
    QFont larger = list->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.5);
    list->setFont(larger);
    panel.resize(901, 300);
    QCoreApplication::processEvents();
    EXPECT_GT(list->columnWidth(1), wide) << "measured again in the new font";
}

}  // namespace

namespace {

// The texts of the panel, given once the questions are listed (as start-up and a change of
// language give them), rename the heading of the ungrouped questions without listing the
// questions again.
TEST(QuestionsPanelTexts, NewTextsRenameTheHeadingAndKeepTheRows) {
    questions::QuestionsPanel panel;
    panel.setTexts("filter", "forget", "Others");
    std::vector<engine::QuestionSection> sections{
        engine::QuestionSection{"Wings", {entry("AILE", "Wings", {})}},
        engine::QuestionSection{{}, {entry("PATTE", "Legs", {"Long"})}}};
    panel.setSections(sections);
    QTreeWidgetItem* legs = panel.itemOf("PATTE");
    ASSERT_TRUE(legs);
    ASSERT_EQ(panel.list()->topLevelItem(1)->text(0), "Others");
    panel.setTexts("filtre", "oublier", "Autres");
    EXPECT_EQ(panel.itemOf("PATTE"), legs) << "the same row";
    EXPECT_EQ(panel.list()->topLevelItem(1)->text(0), "Autres");
    EXPECT_EQ(panel.list()->topLevelItem(0)->text(0), "Wings");
    EXPECT_EQ(panel.filterField()->placeholderText(), "filtre");
    EXPECT_EQ(panel.forgetText(), "oublier");
}

}  // namespace
