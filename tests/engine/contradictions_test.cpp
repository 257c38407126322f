#include "memorykey.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

using engine::Engine;
using testing_support::MemoryKey;
using testing_support::ScriptedDialogs;

namespace {

// Two drawings. Species 0 shows states 0 and 2; species 1 shows states 1 and 3. Question 0 is
// marked on button 2, question 1 by a layer; question 2 has no mark.
struct Contradictions : ::testing::Test {
    MemoryKey key{2, {2, 2, 2}, 2};
    ScriptedDialogs dialogs;
    std::vector<std::pair<int, QString>> loads;
    engine::LayerLoader loader = [this](int layer, const QString& path) {
        loads.emplace_back(layer, path);
        return !path.contains(QLatin1String("missing"));
    };
    std::unique_ptr<Engine> engine;

    void SetUp() override {
        key.set(0, 0, 1), key.set(0, 2, 1), key.set(0, 4, 1);
        key.set(1, 1, 1), key.set(1, 3, 1), key.set(1, 5, 1);
        key.model.DeterButtonCount = 3;
        key.tables.deterButtons = {engine::ButtonRow{"Search", "search.bmp", "Search", "Find"},
                                   engine::ButtonRow{"O00", "wing.bmp", "Wing", "Wings"},
                                   engine::ButtonRow{"O01", "leg.bmp", "Leg", "Legs"}};
        key.tables.contradictions.insert("o00", {2, "wing"});
        key.tables.contradictions.insert("o01", {-1, "leg"});
        key.variant(0, "body_F.WMF", {});
    }
    void start() {
        key.finish();
        engine = std::make_unique<Engine>(key.model, key.tables, dialogs,
                                          testing_support::englishTexts(),
                                          engine::EngineSettings{"K\\", "R\\", -1});
    }
    int lineOf(int species) {
        for (int line = 0; line < engine->listedCount(); ++line)
            if (engine->speciesOfLine(line) == species) return line;
        return -1;
    }
};

TEST_F(Contradictions, SpeciesSharingEveryAnswerMarksNothing) {
    start();
    engine->state().StateChoice = {1, 0, 1, 0, 0, 0};
    engine->Actualise_Identification(loader);
    const auto display = engine->Affiche_Contradictions(lineOf(0), loader);
    EXPECT_EQ(engine->state().ExtraLayerCount, 0);
    EXPECT_TRUE(display.contradictedButtons.empty());
    ASSERT_EQ(display.toolbar.size(), 3u);
    EXPECT_EQ(display.toolbar[1].picture, "K\\wing.bmp");
    EXPECT_FALSE(display.toolbar[1].contradiction);
    EXPECT_EQ(engine->state().DrawingTable.size(), 2u);
}

TEST_F(Contradictions, ButtonThenLayerEachInItsPlace) {
    start();
    engine->state().StateChoice = {1, 0, 1, 0, 1, 0};
    engine->Actualise_Identification(loader);
    loads.clear();
    const auto display = engine->Affiche_Contradictions(lineOf(1), loader);
    EXPECT_EQ(engine->state().ExtraLayerCount, 3);  // the unmarked question counts too
    EXPECT_EQ(display.contradictedButtons, std::vector<int>{2});
    const auto& table = engine->state().DrawingTable;
    ASSERT_EQ(table.size(), 4u);  // 2 drawings + the second contradicted answer
    EXPECT_EQ(table[2].FileName, QString());
    EXPECT_EQ(table[3].FileName, "R\\CONTRA\\LEG_F.WMF");
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0], std::make_pair(3, QString("R\\CONTRA\\leg_F.WMF")));
    EXPECT_EQ(display.toolbar[1].picture, "R\\CONTRA\\wing.ico");
    EXPECT_TRUE(display.toolbar[1].contradiction);
    EXPECT_EQ(display.toolbar[1].caption, "Wing");
    EXPECT_EQ(display.toolbar[2].picture, "K\\leg.bmp");  // marked by a layer, not a button

    EXPECT_TRUE(engine->dropOverlays());
    EXPECT_EQ(engine->state().DrawingTable.size(), 2u);
    EXPECT_EQ(engine->state().ExtraLayerCount, 0);
    EXPECT_FALSE(engine->dropOverlays());
}

TEST_F(Contradictions, TwoContradictedStatesOfOneQuestionUseItsRowTwice) {
    start();
    engine->state().StateChoice = {1, 1, 0, 0, 0, 0};
    key.set(1, 1, 0);
    engine->Actualise_Identification(loader);
    const auto display = engine->Affiche_Contradictions(lineOf(1), loader);
    EXPECT_EQ(display.contradictedButtons, (std::vector<int>{2, 2}));
    EXPECT_EQ(engine->state().ExtraLayerCount, 2);
}

TEST_F(Contradictions, NoSelectedLineContradictsNothing) {
    start();
    engine->state().StateChoice = {1, 0, 1, 0, 0, 0};
    engine->Actualise_Identification(loader);
    const auto display = engine->Affiche_Contradictions(-1, loader);
    EXPECT_EQ(display.contradictedAnswers, 0);
    EXPECT_EQ(display.toolbar.size(), 3u);
}

// The marks are found by walking the questions as the current question: the last one stays
// in it, with the grid and picture of the question that was open before.
TEST_F(Contradictions, WalkLeavesTheLastQuestionCurrent) {
    start();
    ASSERT_TRUE(engine->openQuestion("O00"));
    engine->state().StateChoice = {1, 0, 1, 0, 0, 0};
    engine->Actualise_Identification(loader);
    engine->Affiche_Contradictions(lineOf(1), loader);
    const engine::CurrentQuestion& q = engine->question();
    EXPECT_EQ(q.CurrentObject, "O02");
    EXPECT_EQ(q.ObjectFirstState, 4);
    EXPECT_EQ(q.ObjectStateCount, 2);
    EXPECT_EQ(q.ObjectDescriptor, key.tables.objects[2].descriptor);
    EXPECT_EQ(q.ObjectTipText, "Question 2");
    EXPECT_EQ(q.ObjectPicture, key.tables.objects[0].picture);
}

TEST_F(Contradictions, UnloadableLayerIsReportedAndLeftEmpty) {
    key.tables.contradictions["o01"].popup = "missing";
    start();
    engine->state().StateChoice = {0, 0, 1, 0, 0, 0};
    engine->Actualise_Identification(loader);
    const auto display = engine->Affiche_Contradictions(lineOf(1), loader);
    ASSERT_EQ(display.addedLayers.size(), 1u);
    EXPECT_FALSE(display.addedLayers[0].loaded);
    EXPECT_EQ(engine->state().DrawingTable[2].FileName, "R\\CONTRA\\MISSING_F.WMF");
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text,
              "The drawing is unavailable... Fichier : R\\CONTRA\\missing_F.WMF");
    EXPECT_EQ(dialogs.asked[0].title, "Vireka V.1.0 - identification key");
}

TEST_F(Contradictions, SuffixComesFromDrawingZeroWithoutTheWmfTest) {
    key.tables.variants.clear();
    key.variant(1, "legs_X.WMF", {});
    key.variant(0, "body_M.wmf", {"E4"});
    key.variant(0, "bodyAB", {});
    start();
    EXPECT_EQ(engine->Suffixe_Variante(), "bodyAB");
    engine->state().StateChoice[4] = 1;
    EXPECT_EQ(engine->Suffixe_Variante(), "_M.wmf");
    key.tables.variants.insert(key.tables.variants.begin(), key.tables.variants[1]);
    key.tables.variants[0].conditions[0].code = "NOPE";
    start();
    EXPECT_EQ(engine->Suffixe_Variante(), QString());  // an unknown code leaves it empty
    EXPECT_TRUE(dialogs.asked.empty());
}

}  // namespace
