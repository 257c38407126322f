#include "mainwindowfixture.h"

#include "questions/questionspanel.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// The test base: "Wings" (states "Clear", "Smoky") opens frame 0, "Legs" (states "Long",
// "Short", "Épineuses") opens frame 1. Alpha shows Clear and Long, Beta Smoky and Short,
// Gamma Clear and Épineuses.
class QuestionsPanelTest : public MainWindowTest {
protected:
    void SetUp() override {
        base.stateTips = {"Clear", "Smoky", "Long", "Short", "Épineuses"};
        MainWindowTest::SetUp();
    }
    questions::QuestionsPanel& panel() { return *window->questionsPanel(); }
    QTreeWidget& list() { return *panel().list(); }
    QTreeWidgetItem* item(const QString& key) { return panel().itemOf(key); }
    QString legend() { return window->findChild<QLabel*>("Legende")->text(); }
    QString firstLine() {
        auto* species = qobject_cast<QListView*>(window->pane("Liste_Esp"));
        return species->model()->index(0, 0).data().toString();
    }
    QWidget* choices() { return window->pane("Pic_Choix"); }
    // Asks a question from the panel with Enter, moves to a cell and confirms, all from the
    // keyboard.
    void answerFromKeyboard(const QString& key, int cell) {
        list().setCurrentItem(item(key));
        QTest::keyClick(&list(), Qt::Key_Return);
        ASSERT_EQ(window->ViewMode, questions::ViewMode::Question);
        for (int i = 0; i < 3; ++i) QTest::keyClick(choices(), Qt::Key_Left);
        for (int i = 0; i < cell; ++i) QTest::keyClick(choices(), Qt::Key_Right);
        if (engine->question().SelectedChoice != cell) QTest::keyClick(choices(), Qt::Key_Space);
        QTest::keyClick(choices(), Qt::Key_Return);
        ASSERT_EQ(window->ViewMode, questions::ViewMode::Identification);
    }
};

TEST_F(QuestionsPanelTest, ASpecimenIsDescribedFromThePanelAndTheKeyboardAlone) {
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(window->questionsDock()->isVisible());
    ASSERT_EQ(list().topLevelItemCount(), 2) << "no groups: one flat list";
    EXPECT_EQ(list().topLevelItem(0)->text(0), "Wings");
    EXPECT_EQ(list().topLevelItem(1)->text(0), "Legs");

    list().setCurrentItem(item("PATTE"));
    QTest::keyClick(&list(), Qt::Key_Return);
    EXPECT_EQ(window->ViewMode, questions::ViewMode::Question);
    EXPECT_EQ(engine->question().CurrentObject, "PATTE");
    auto* heading = window->findChild<QLabel*>("Titre_Question");
    ASSERT_TRUE(heading->isVisible());
    EXPECT_EQ(heading->text(), "Legs");
    EXPECT_LE(heading->geometry().bottom(), choices()->geometry().top());
    EXPECT_EQ(QApplication::focusWidget(), choices()) << "the keyboard goes to the cells";
    // Right twice then Space marks the third cell; Down past the last row stays in place.
    QTest::keyClick(choices(), Qt::Key_Right);
    QTest::keyClick(choices(), Qt::Key_Right);
    QTest::keyClick(choices(), Qt::Key_Right);
    QTest::keyClick(choices(), Qt::Key_Down);
    QTest::keyClick(choices(), Qt::Key_Space);
    EXPECT_EQ(engine->question().SelectedChoice, 2);
    QTest::keyClick(choices(), Qt::Key_Return);
    EXPECT_EQ(window->ViewMode, questions::ViewMode::Identification);
    EXPECT_FALSE(heading->isVisible());
    EXPECT_EQ(engine->state().StateChoice[4], 1);
    EXPECT_EQ(firstLine(), " 100% - Gamma gamma");
    EXPECT_TRUE(item("PATTE")->font(0).bold());
    EXPECT_EQ(item("PATTE")->text(1), "Épineuses");
    EXPECT_FALSE(item("AILE")->font(0).bold());

    // A double-click asks the next one; Escape abandons without answering.
    const QRect r = list().visualItemRect(item("AILE"));
    // A double-click is a click followed by the double-click event.
    QTest::mouseClick(list().viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    ASSERT_EQ(window->ViewMode, questions::ViewMode::Question);
    EXPECT_EQ(engine->question().CurrentObject, "AILE");
    EXPECT_EQ(panel().currentKey(), "AILE") << "the open question is selected";
    QTest::keyClick(choices(), Qt::Key_Space);
    QTest::keyClick(choices(), Qt::Key_Escape);
    EXPECT_EQ(window->ViewMode, questions::ViewMode::Identification);
    EXPECT_EQ(engine->state().StateChoice[0], 0);
    EXPECT_EQ(item("AILE")->text(1), "");
}

TEST_F(QuestionsPanelTest, EachAnswerFromTheDrawingShowsInThePanelAsItIsConfirmed) {
    open();
    QWidget* robot = window->pane("Robot");
    QTest::mouseClick(robot, Qt::LeftButton, Qt::NoModifier, robot->rect().center());
    ASSERT_EQ(engine->question().CurrentObject, "AILE");
    EXPECT_EQ(panel().currentKey(), "AILE");
    QTest::mouseClick(choices(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(choices()->width() * 3 / 4, choices()->height() / 2));
    window->findChild<QToolBar*>("Barre_Question")->actions().first()->trigger();
    EXPECT_EQ(item("AILE")->text(1), "Smoky");
    EXPECT_EQ(legend(), " 1 species at 100 %");
}

TEST_F(QuestionsPanelTest, ForgettingAnAnswerClearsItsDependantsAndTheListFollows) {
    base.dependencies = {{"A1", "PATTE"}};
    base.write();
    open();
    EXPECT_FALSE(item("PATTE")->flags() & Qt::ItemIsEnabled) << "asked only after Clear";
    answerFromKeyboard("AILE", 0);
    ASSERT_TRUE(item("PATTE")->flags() & Qt::ItemIsEnabled);
    answerFromKeyboard("PATTE", 0);
    EXPECT_EQ(legend(), " 1 species at 100 %");
    list().setCurrentItem(item("AILE"));
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(engine->state().StateChoice, std::vector<platform::i16>(5, 0)) << "Legs went too";
    EXPECT_EQ(engine->state().FrameState[0], 0);
    EXPECT_EQ(legend(), " 3 species at 0 %");
    EXPECT_FALSE(item("AILE")->font(0).bold());
    EXPECT_FALSE(item("PATTE")->flags() & Qt::ItemIsEnabled);
    // Delete on a question without an answer changes nothing, not even the history.
    const bool couldRedo = engine->history().canRedo();
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(engine->history().canRedo(), couldRedo);
    EXPECT_TRUE(window->menuAction("mnuEditUndo")->isEnabled());
}

TEST_F(QuestionsPanelTest, UndoAndRedoWalkThroughThreeAnswersWithListLegendAndPanel) {
    open();
    EXPECT_FALSE(window->menuAction("mnuEditUndo")->isEnabled());
    answerFromKeyboard("AILE", 0);   // Alpha, Gamma
    answerFromKeyboard("PATTE", 2);  // Gamma
    answerFromKeyboard("AILE", 1);   // changed: nobody shows Smoky and Épineuses
    EXPECT_EQ(legend(), " 2 species at 50 %");
    QAction* undo = window->menuAction("mnuEditUndo");
    QAction* redo = window->menuAction("mnuEditRedo");
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->trigger();
    EXPECT_EQ(legend(), " 1 species at 100 %");
    EXPECT_EQ(firstLine(), " 100% - Gamma gamma");
    EXPECT_EQ(item("AILE")->text(1), "Clear");
    undo->trigger();
    EXPECT_EQ(legend(), " 2 species at 100 %");
    EXPECT_EQ(item("PATTE")->text(1), "");
    undo->trigger();
    EXPECT_EQ(legend(), " 3 species at 0 %");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(item("AILE")->font(0).bold());
    redo->trigger();
    redo->trigger();
    redo->trigger();
    EXPECT_EQ(legend(), " 2 species at 50 %");
    EXPECT_EQ(item("AILE")->text(1), "Smoky");
    EXPECT_EQ(item("PATTE")->text(1), "Épineuses");
    EXPECT_FALSE(redo->isEnabled());
    // New is a step too.
    dialogs.answers = {platform::Dialogs::Answer::No};
    window->dispatcher().Traiter_Fichier("New");
    EXPECT_EQ(legend(), " 3 species at 0 %");
    undo->trigger();
    EXPECT_EQ(legend(), " 2 species at 50 %");
}

TEST_F(QuestionsPanelTest, GroupsFromTheTableAndTheFilterIgnoringAccents) {
    base.exec(R"(CREATE TABLE "Groupes" ("Objet" TEXT COLLATE NOCASE PRIMARY KEY,
                 "Groupe" TEXT, "Ordre" INTEGER);
                 INSERT INTO "Groupes" VALUES ('PATTE', 'Thorax', 1), ('AILE', 'Wings', 2);)");
    open();
    ASSERT_EQ(list().topLevelItemCount(), 2);
    EXPECT_EQ(list().topLevelItem(0)->text(0), "Thorax");
    EXPECT_EQ(list().topLevelItem(0)->child(0), item("PATTE"));
    EXPECT_EQ(list().topLevelItem(1)->text(0), "Wings");
    QLineEdit* filter = panel().filterField();
    QTest::keyClicks(filter, "EPIN");
    EXPECT_FALSE(item("PATTE")->isHidden());
    EXPECT_TRUE(item("AILE")->isHidden());
    EXPECT_TRUE(list().topLevelItem(1)->isHidden()) << "an emptied group goes too";
    // Enter in the filter asks the first question still shown.
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_EQ(window->ViewMode, questions::ViewMode::Question);
    EXPECT_EQ(engine->question().CurrentObject, "PATTE");
    filter->clear();
    EXPECT_FALSE(item("AILE")->isHidden());
}

TEST_F(QuestionsPanelTest, ThePanelIsShownOrHiddenFromTheViewMenuAndRemembered) {
    open();
    QAction* item = window->menuAction("mnuViewQuestions");
    ASSERT_TRUE(item->isChecked());
    const int drawingWidth = window->pane("Robot")->width();
    item->trigger();
    EXPECT_FALSE(window->questionsDock()->isVisible());
    EXPECT_FALSE(settings->questionsPanelShown());
    QApplication::processEvents();
    EXPECT_GT(window->pane("Robot")->width(), drawingWidth) << "the drawing takes the room back";
    item->trigger();
    EXPECT_TRUE(window->questionsDock()->isVisible());
    EXPECT_TRUE(settings->questionsPanelShown());
}

TEST_F(QuestionsPanelTest, APanelHiddenInAnEarlierRunStaysHidden) {
    {
        platform::Settings earlier(settingsDir.filePath("vireka.ini"));
        earlier.storeQuestionsPanelShown(false);
        ASSERT_TRUE(earlier.sync());
    }
    open();
    EXPECT_FALSE(window->questionsDock()->isVisible());
    EXPECT_FALSE(window->menuAction("mnuViewQuestions")->isChecked());
}

TEST_F(QuestionsPanelTest, SearchHasAShortcutAndItsProposalIsSelected) {
    open();
    QAction* search = window->menuAction("mnuViewSearch");
    EXPECT_EQ(search->shortcut(), QKeySequence(Qt::Key_F3));
    search->trigger();
    ASSERT_EQ(window->ViewMode, questions::ViewMode::Question);
    EXPECT_EQ(panel().currentKey(), engine->question().CurrentObject);
    EXPECT_EQ(window->findChild<QLabel*>("Titre_Question")->text(),
              engine->question().ObjectTipText);
}

TEST_F(QuestionsPanelTest, TheCharacterToolbarShrinksBeforeHidingAButton) {
    base.deterButtons.clear();
    for (int i = 0; i < 16; ++i)
        base.deterButtons.push_back({QString("Button %1").arg(i), "aile.bmp", "Wings", "AILE"});
    base.parameters["Nb_But_Deter"] = "16";
    base.write();
    base.writePictures();
    open();
    auto* bar = window->findChild<QToolBar*>("Barre_Deter");
    QApplication::processEvents();
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) continue;
        QWidget* button = bar->widgetForAction(a);
        ASSERT_TRUE(button);
        EXPECT_TRUE(button->isVisible()) << a->text().toStdString();
        EXPECT_LE(button->geometry().bottom(), bar->height()) << a->text().toStdString();
    }
    EXPECT_EQ(bar->actions().size(), 32) << "separators keep the numbering of the entries";
}

TEST_F(QuestionsPanelTest, AKeyWithoutADrawingIdentifiesFromThePanel) {
    base.dropDrawing();
    base.write();
    base.writePictures();
    open();
    EXPECT_FALSE(window->questionsDock()->isVisible());
    QWidget* panelWidget = window->pane("Panel_Questions");
    ASSERT_TRUE(panelWidget) << "the list is in the drawing's place";
    EXPECT_TRUE(panelWidget->isVisible());
    EXPECT_GT(panelWidget->width(), window->width() / 2);
    answerFromKeyboard("PATTE", 1);
    EXPECT_TRUE(panelWidget->isVisible());
    EXPECT_EQ(firstLine(), " 100% - Beta beta");
    EXPECT_EQ(legend(), " 1 species at 100 %");
    list().setCurrentItem(item("AILE"));
    QTest::keyClick(&list(), Qt::Key_Return);
    EXPECT_TRUE(choices()->isVisible());
    EXPECT_FALSE(panelWidget->isVisible());
    EXPECT_GT(choices()->width(), 0);
}

// After an answer the panel changes its rows in place: the same rows, scrolled and filtered as
// they were, with the answer column, the bold face and what can be asked following.
TEST(QuestionsPanelRows, AnAnswerChangesTheRowsInPlace) {
    auto entry = [](const QString& key, const QString& text, const QStringList& chosen,
                    bool askable) {
        engine::QuestionEntry e;
        e.key = key;
        e.text = text;
        e.chosenTexts = chosen;
        e.answered = !chosen.isEmpty();
        e.askable = askable;
        e.searchText = text.toLower();
        return e;
    };
    auto sections = [&](const QStringList& wings, bool legsAskable) {
        return std::vector<engine::QuestionSection>{engine::QuestionSection{
            {}, {entry("AILE", "Wings", wings, true), entry("PATTE", "Legs", {}, legsAskable)}}};
    };
    questions::QuestionsPanel panel;
    panel.setSections(sections({}, false));
    QTreeWidgetItem* wings = panel.itemOf("aile");
    QTreeWidgetItem* legs = panel.itemOf("PATTE");
    ASSERT_TRUE(wings && legs);
    EXPECT_FALSE(legs->flags() & Qt::ItemIsEnabled);
    panel.filterField()->setText("legs");
    EXPECT_TRUE(wings->isHidden());

    panel.setSections(sections({"Smoky"}, true));
    EXPECT_EQ(panel.itemOf("AILE"), wings) << "the same row, changed";
    EXPECT_EQ(wings->text(1), "Smoky");
    EXPECT_TRUE(wings->font(0).bold());
    EXPECT_TRUE(panel.isAnswered("aile"));
    EXPECT_TRUE(legs->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(wings->isHidden()) << "the filter still hides it";

    panel.setSections(sections({}, false));
    EXPECT_EQ(wings->text(1), "");
    EXPECT_FALSE(wings->font(0).bold());
    EXPECT_FALSE(wings->data(1, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(panel.isAnswered("AILE"));
    EXPECT_FALSE(legs->flags() & Qt::ItemIsEnabled);
    panel.filterField()->clear();
    EXPECT_FALSE(wings->isHidden());

    // Other questions: the panel is made again.
    auto other = sections({}, true);
    other[0].entries.pop_back();
    panel.setSections(other);
    EXPECT_EQ(panel.itemOf("PATTE"), nullptr);
    EXPECT_EQ(panel.list()->topLevelItemCount(), 1);
}

}  // namespace
