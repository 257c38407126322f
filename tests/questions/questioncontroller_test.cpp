#include "questionsfixture.h"
#include "testwindow.h"

#include "platform/wmfwriter.h"

#include <QAction>
#include <QDir>
#include <QMouseEvent>
#include <QTest>

using questions::CharacterToolbars;

namespace {

// The question interface in a window on a real knowledge base: palette red (AILE), green
// (PATTE) and white (no question); the drawing is a red square on white; three question
// buttons (confirm, abandon, skip).
class QuestionControllerTest : public QuestionsTest {
protected:
    void SetUp() override {
        base.colours.push_back(Qt::white);
        base.colourCodes << "VIDE";
        base.parameters["Nb_Couleurs"] = "3";
        base.questButtons.push_back({"Skip", "skip.bmp", "Skip", ""});
        base.parameters["Nb_But_Quest"] = "3";
    }
    TestWindow& open() {
        load();
        window = std::make_unique<TestWindow>(*engine, model, dialogs, base.dataDir());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    void clickDeter(int entry) {
        QAction* a = CharacterToolbars::entry(window->Barre_Deter, entry);
        QTest::mouseClick(window->Barre_Deter->widgetForAction(a), Qt::LeftButton);
    }
    void clickQuestion(int entry) {
        QAction* a = CharacterToolbars::entry(window->Barre_Question, entry);
        QTest::mouseClick(window->Barre_Question->widgetForAction(a), Qt::LeftButton);
    }
    void clickDrawing(QPoint p) { QTest::mouseClick(window->Robot, Qt::LeftButton, {}, p); }
    void hover(QPoint p) {
        QMouseEvent move(QEvent::MouseMove, p, window->Robot->mapToGlobal(p), Qt::NoButton,
                         Qt::NoButton, {});
        QCoreApplication::sendEvent(window->Robot, &move);
    }
    bool skipVisible() { return CharacterToolbars::entry(window->Barre_Question, 5)->isVisible(); }
    engine::CurrentQuestion& question() { return engine->question(); }

    std::unique_ptr<TestWindow> window;
};

TEST_F(QuestionControllerTest, AButtonOpensItsQuestionWithTheCurrentAnswer) {
    TestWindow& w = open();
    choose(1);
    clickDeter(3);
    EXPECT_EQ(question().CurrentObject, "AILE");
    EXPECT_EQ(question().SelectedChoice, 1);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Question);
    EXPECT_TRUE(w.Pic_Choix->isVisible());
    EXPECT_FALSE(w.Robot->isVisible());
    EXPECT_FALSE(w.Barre_Deter->isVisible());
    EXPECT_TRUE(w.Barre_Question->isVisible());
    EXPECT_FALSE(skipVisible());
    EXPECT_EQ(w.status, "Wings");
    EXPECT_EQ(w.busyDepth, 0);
    clickQuestion(3);  // abandon
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_EQ(w.status, "");
    EXPECT_TRUE(w.Barre_Deter->isVisible());
    EXPECT_EQ(engine->state().StateChoice[1], 1);
}

TEST_F(QuestionControllerTest, AnObjectCalledSearchIsOpenedNotSearched) {
    base.objects.push_back({"Search", 1, 2, 0, 2, -1, 2, "Searching", "aile.bmp", true});
    open();
    clickDeter(1);
    EXPECT_EQ(question().CurrentObject, "Search");
    EXPECT_FALSE(skipVisible());
}

TEST_F(QuestionControllerTest, SearchProposesResultsShowsTheResults) {
    TestWindow& w = open();
    clickDeter(1);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Question);
    EXPECT_FALSE(question().CurrentObject.isEmpty());
    EXPECT_TRUE(w.Barre_Question->isVisible());
    EXPECT_TRUE(skipVisible());
    const QString first = question().CurrentObject;
    clickQuestion(5);  // skip: the other question is proposed in place
    EXPECT_NE(question().CurrentObject, first);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Question);
    EXPECT_TRUE(dialogs.asked.empty());

    w.controller.Barre_Deter_ButtonClick(7, "Results");
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Results);
}

TEST_F(QuestionControllerTest, SearchWithOneSpeciesAtTheTopOnlySaysSo) {
    TestWindow& w = open();
    engine->state().TopSpeciesCount = 1;
    clickDeter(1);
    ASSERT_EQ(dialogs.texts(), QStringList{"T1078"});
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_TRUE(w.Barre_Deter->isVisible());
    EXPECT_FALSE(w.Barre_Question->isVisible());
}

TEST_F(QuestionControllerTest, ConfirmWritesTheAnswerAndReturnsToTheDrawing) {
    TestWindow& w = open();
    clickDeter(3);
    QTest::mouseClick(w.Pic_Choix, Qt::LeftButton, {}, {200, 90});  // cell 1 of 1 x 2
    EXPECT_EQ(question().SelectedChoice, 1);
    const int refreshes = w.refreshes;
    clickQuestion(1);
    EXPECT_EQ(engine->state().StateChoice[1], 1);
    EXPECT_EQ(engine->state().FrameState[0], -1);
    EXPECT_EQ(w.refreshes, refreshes + 1);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_TRUE(w.Robot->isVisible());
    EXPECT_EQ(w.busyDepth, 0);
}

TEST_F(QuestionControllerTest, DrawingClickByZoneAndByColour) {
    base.zones = {{"PATTE", -2, false, 0, 600, 0, 450, {}}};
    TestWindow& w = open();
    clickDrawing({30, 30});  // zone (300, 300)
    EXPECT_EQ(question().CurrentObject, "PATTE");
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Question);
    EXPECT_FALSE(w.Barre_Deter->isVisible());
    EXPECT_FALSE(skipVisible());
    EXPECT_EQ(w.controller.PressedButton, 1);
    EXPECT_FALSE(w.controller.QuestionBusy);

    w.showIdentificationView();
    clickDrawing({120, 90});  // the red square of the drawing
    EXPECT_EQ(question().CurrentObject, "AILE");
    EXPECT_EQ(w.controller.PressedButton, -1);

    w.showIdentificationView();
    const int views = w.questionViews;
    clickDrawing({230, 170});  // white: a palette code with no question
    EXPECT_EQ(w.questionViews, views);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_EQ(question().CurrentObject, "VIDE");
    EXPECT_FALSE(w.controller.QuestionBusy);
}

TEST_F(QuestionControllerTest, AClickWhileBusyIsIgnored) {
    base.zones = {{"PATTE", -2, false, 0, 600, 0, 450, {}}};
    TestWindow& w = open();
    int nested = 0;
    w.onPendingEvents = [&] {
        if (nested++ == 0) clickDrawing({120, 90});
    };
    clickDrawing({30, 30});
    EXPECT_GT(nested, 0);
    EXPECT_EQ(w.questionViews, 1);
    EXPECT_EQ(question().CurrentObject, "PATTE");
}

TEST_F(QuestionControllerTest, HoverShowsTheHandAndTheQuestionWhenAllowed) {
    TestWindow& w = open();
    hover({120, 90});
    EXPECT_EQ(w.Robot->toolTip(), "");  // DynamicCursor off
    w.controller.setDynamicCursor(true);
    hover({120, 90});
    EXPECT_EQ(w.Robot->toolTip(), "Wings");
    EXPECT_EQ(w.Robot->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(w.controller.ZoneX, 1200);
    hover({230, 170});
    EXPECT_EQ(w.Robot->toolTip(), "");
    EXPECT_EQ(w.Robot->cursor().shape(), Qt::ArrowCursor);
    w.controller.QuestionBusy = true;
    hover({120, 90});
    EXPECT_EQ(w.Robot->toolTip(), "");
}

// A question that cannot show its choices is closed: the drawing and its toolbar are back,
// with no confirm button beside them, whichever way the question was opened.
TEST_F(QuestionControllerTest, AMissingPictureOfChoicesIsReportedAndTheQuestionClosed) {
    base.zones = {{"PATTE", -2, false, 0, 600, 0, 450, {}}};
    TestWindow& w = open();
    QFile::remove(base.dataDir() + "patte.bmp");
    const auto expectClosed = [&](const char* how) {
        ASSERT_EQ(dialogs.asked.size(), 1u) << how;
        EXPECT_EQ(dialogs.asked[0].text, "T1077");
        EXPECT_EQ(dialogs.asked[0].title, "T1050");
        EXPECT_TRUE(w.Robot->isVisible()) << how;
        EXPECT_TRUE(w.Barre_Deter->isVisible()) << how;
        EXPECT_FALSE(w.Barre_Question->isVisible()) << how;
        EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification) << how;
        EXPECT_FALSE(w.controller.QuestionBusy) << how;
        EXPECT_EQ(w.questionViews, 0);
        dialogs.asked.clear();
    };
    w.controller.Barre_Deter_ButtonClick(0, "PATTE");
    expectClosed("toolbar");
    clickDrawing({30, 30});
    expectClosed("drawing");
}

// The second press of a double-click on the drawing falls on the picture of choices that
// replaced it: it marks nothing. A double-click made on the picture itself counts.
TEST_F(QuestionControllerTest, TheDoubleClickThatOpensAQuestionChoosesNothing) {
    base.zones = {{"PATTE", -2, false, 0, 600, 0, 450, {}}};
    TestWindow& w = open();
    clickDrawing({30, 30});
    ASSERT_TRUE(w.Pic_Choix->isVisible());
    const auto send = [&](QEvent::Type type, QPoint p) {
        QMouseEvent e(type, p, w.Pic_Choix->mapToGlobal(p), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QCoreApplication::sendEvent(w.Pic_Choix, &e);
    };
    send(QEvent::MouseButtonDblClick, {30, 30});
    send(QEvent::MouseButtonRelease, {30, 30});
    EXPECT_EQ(question().SelectedChoice, -1);

    send(QEvent::MouseButtonPress, {30, 30});
    send(QEvent::MouseButtonRelease, {30, 30});
    EXPECT_EQ(question().SelectedChoice, 0);
    send(QEvent::MouseButtonDblClick, {200, 30});
    send(QEvent::MouseButtonRelease, {200, 30});
    EXPECT_EQ(question().SelectedChoice, 2);
}

// Contradictions of AILE mark its button, those of PATTE lay a picture over the drawing.
TEST_F(QuestionControllerTest, ContradictionMarksLastUntilTheNextAnswerAndDoNotPileUp) {
    base.contradictions = {{"AILE", 2}, {"PATTE", -1}};
    TestWindow& w = open();
    QDir().mkpath(base.dataDir() + "CONTRA");
    platform::WmfWriter overlay(QSize(2400, 1800));
    overlay.selectObject(overlay.createSolidBrush(QColor(0, 0x80, 0)));
    overlay.rectangle(QRect(0, 0, 300, 300));
    ASSERT_TRUE(overlay.save(base.dataDir() + "CONTRA/pattese.wmf"));
    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(Qt::red);
    ASSERT_TRUE(icon.save(base.dataDir() + "CONTRA/aile.ico", "PNG"));
    choose(0);  // A1: species 0 and 2
    choose(4);  // P3: species 2 only
    engine->Actualise_Identification(w.controller.layerLoader());
    const auto lineOf = [this](int species) {
        for (int line = 0; line < engine->listedCount(); ++line)
            if (engine->speciesOfLine(line) == species) return line;
        return -1;
    };
    const int drawings = model.DrawingCount;
    const QImage before = w.Robot->image();

    w.controller.showContradictions(lineOf(1));  // contradicts both answers
    EXPECT_EQ(engine->state().ExtraLayerCount, 2);
    ASSERT_EQ(w.layers.size(), drawings + 2);
    EXPECT_TRUE(w.layers.at(drawings).isNull());
    EXPECT_FALSE(w.layers.at(drawings + 1).isNull());
    EXPECT_TRUE(w.toolbars.showsContradictions());
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_NE(w.Robot->image(), before);
    // The overlay takes part in the colour stage: its green asks PATTE.
    EXPECT_EQ(w.controller.Cherche_Objet(100, 100, 5, 5).key, "PATTE");

    w.controller.showContradictions(lineOf(0));  // contradicts P3 only, as a layer
    EXPECT_EQ(engine->state().ExtraLayerCount, 1);
    EXPECT_EQ(w.layers.size(), drawings + 1);

    clickDeter(3);
    clickQuestion(1);
    EXPECT_EQ(engine->state().ExtraLayerCount, 0);
    EXPECT_EQ(w.layers.size(), drawings);
    EXPECT_FALSE(w.toolbars.showsContradictions());
    EXPECT_EQ(w.Robot->image(), before);
}

}  // namespace
