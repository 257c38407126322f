#include "memorykey.h"
#include "support/scripteddialogs.h"

#include "engine/ranking.h"

#include <gtest/gtest.h>
#include <random>

using engine::Engine;
using testing_support::MemoryKey;
using testing_support::ScriptedDialogs;

namespace {

// Three species A, B, C over four states of two questions.
struct Ranking : ::testing::Test {
    MemoryKey key{3, {2, 2}};
    ScriptedDialogs dialogs;
    std::unique_ptr<Engine> engine;

    void SetUp() override {
        const int weights[] = {2, 1, 3, 1};
        for (int j = 0; j < 4; ++j) key.weight(j, weights[j]);
        key.set(0, 0, 1), key.set(0, 2, 1);  // A: states 0 and 2
        key.set(1, 0, 1);                    // B: state 0
        key.set(2, 2, 1);                    // C: state 2
        engine = std::make_unique<Engine>(key.model, key.tables, dialogs,
                                          testing_support::englishTexts());
    }
    void choose(std::initializer_list<int> states) {
        for (int j : states) engine->state().StateChoice[size_t(j)] = 1;
    }
};

TEST_F(Ranking, WeightedScoresRankAndPercentages) {
    choose({0, 2});
    engine->Actualise_Identification();
    const auto& s = engine->state();
    EXPECT_EQ(s.SpeciesScore, (std::vector<std::int64_t>{5, 2, 3}));
    EXPECT_EQ(s.RankTable.species, (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(s.RankTable.score, (std::vector<std::int64_t>{5, 3, 2}));
    EXPECT_EQ(s.RankPercent, (std::vector<std::int64_t>{100, 60, 40}));
    EXPECT_EQ(s.TopSpeciesCount, 1);
    EXPECT_EQ(engine->listLines(), (QStringList{" 100% - Sp0", " 60% - Sp2", " 40% - Sp1"}));
    EXPECT_EQ(engine->legend(), " 1 species at 100 %");
}

TEST_F(Ranking, NothingChosenListsEverySpeciesAtZeroInSpeciesOrder) {
    engine->Actualise_Identification();
    const auto& s = engine->state();
    EXPECT_EQ(s.RankTable.species, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(s.RankPercent, (std::vector<std::int64_t>{0, 0, 0}));
    EXPECT_EQ(s.TopSpeciesCount, 3);
    EXPECT_EQ(engine->listedCount(), 3);
    EXPECT_EQ(engine->legend(), " 3 species at 0 %");
}

TEST_F(Ranking, EqualScoresKeepSpeciesOrder) {
    key.set(2, 0, 1);  // C now ties with A
    choose({0, 2});
    engine->Actualise_Identification();
    EXPECT_EQ(engine->state().RankTable.species, (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(engine->state().TopSpeciesCount, 2);
    key.set(0, 2, 0);  // now A (2), B (2), C (5): A before B
    engine->Actualise_Identification();
    EXPECT_EQ(engine->state().RankTable.species, (std::vector<int>{2, 0, 1}));
}

TEST_F(Ranking, ThresholdAboveTheBestEmptiesTheList) {
    Engine strict(key.model, key.tables, dialogs, testing_support::englishTexts(), {"", "", 101});
    strict.state().StateChoice[0] = 1;
    strict.Actualise_Identification();
    EXPECT_EQ(strict.listedCount(), 0);
    EXPECT_EQ(strict.state().TopSpeciesCount, 0);
    EXPECT_EQ(strict.legend(), " 0 species at 100 %");
}

TEST_F(Ranking, ThresholdChangeRelistsWithoutTouchingTheLegend) {
    choose({0, 2});
    engine->Actualise_Identification();
    engine->setListThreshold(50);
    EXPECT_EQ(engine->listLines(), (QStringList{" 100% - Sp0", " 60% - Sp2"}));
    EXPECT_EQ(engine->legend(), " 1 species at 100 %");
    engine->state().StateChoice[2] = 0;  // not ranked again: the lines follow the old ranking
    engine->setListThreshold(-1);
    EXPECT_EQ(engine->listedCount(), 3);
    EXPECT_EQ(engine->listLine(1), " 60% - Sp2");
}

TEST_F(Ranking, FirstRefreshMarksTheDescriptionModifiedOnce) {
    EXPECT_TRUE(engine->Actualise_Identification().enableSaveCommands);
    EXPECT_TRUE(engine->state().DescriptionModified);
    EXPECT_FALSE(engine->Actualise_Identification().enableSaveCommands);
    engine->state().DescriptionModified = false;
    EXPECT_TRUE(engine->Actualise_Identification().enableSaveCommands);
}

TEST_F(Ranking, NettoyeClearsTheDescriptionOnly) {
    choose({0, 2});
    engine->state().FrameState[1] = -1;
    engine->state().SkippedQuestions = true;
    engine->state().JokerFlag[0] = false;
    engine->Actualise_Identification();
    engine->Nettoye();
    const auto& s = engine->state();
    EXPECT_EQ(s.StateChoice, (std::vector<platform::i16>{0, 0, 0, 0}));
    EXPECT_EQ(s.FrameState, (std::vector<platform::i16>{0, 0}));
    EXPECT_FALSE(s.SkippedQuestions);
    EXPECT_FALSE(s.JokerFlag[0]);
    EXPECT_EQ(s.RankTable.species, (std::vector<int>{0, 2, 1}));  // until the next refresh
}

TEST(RankingSingle, OneSpeciesIsRankZero) {
    MemoryKey key(1, {2});
    key.set(0, 1, 1);
    ScriptedDialogs dialogs;
    Engine engine(key.model, key.tables, dialogs, testing_support::englishTexts());
    engine.state().StateChoice[1] = 1;
    engine.Actualise_Identification();
    EXPECT_EQ(engine.listLines(), QStringList{" 100% - Sp0"});
    EXPECT_EQ(engine.legend(), " 1 species at 100 %");
}

TEST(RankingRounding, HalvesGoToTheEvenNeighbour) {
    // Total 8: scores 1 and 3 give 12.5 and 37.5.
    MemoryKey key(2, {2, 2});
    key.weight(0, 1), key.weight(1, 7), key.weight(2, 2), key.weight(3, 0);
    key.set(0, 0, 1);
    key.set(1, 0, 1), key.set(1, 2, 1);
    ScriptedDialogs dialogs;
    Engine engine(key.model, key.tables, dialogs, testing_support::englishTexts());
    engine.state().StateChoice[0] = 1, engine.state().StateChoice[1] = 1;
    engine.Actualise_Identification();
    EXPECT_EQ(engine.state().RankPercent, (std::vector<std::int64_t>{12, 12}));
    engine.state().StateChoice[2] = 1;
    key.weight(1, 5);  // total 8 again: scores 3 and 1 give 37.5 and 12.5
    engine.Actualise_Identification();
    EXPECT_EQ(engine.state().RankPercent, (std::vector<std::int64_t>{38, 12}));
    EXPECT_EQ(engine::percentOf(-1, 8), -12);
    EXPECT_EQ(engine::percentOf(3, -8), -38);
}

TEST(RankingOverflow, ScoresBeyondSixteenBitsAreExact) {
    MemoryKey key(2, {2});
    key.weight(0, 30000), key.weight(1, 30000);
    key.set(0, 0, 1), key.set(0, 1, 1);
    key.set(1, 0, 1);
    ScriptedDialogs dialogs;
    Engine engine(key.model, key.tables, dialogs, testing_support::englishTexts());
    engine.state().StateChoice = {1, 1};
    engine.Actualise_Identification();
    EXPECT_EQ(engine.state().RankTable.score, (std::vector<std::int64_t>{60000, 30000}));
    EXPECT_EQ(engine.listLines(), (QStringList{" 100% - Sp0", " 50% - Sp1"}));
}

// Scores of a key wider than one block of species, against the sums made one by one.
std::vector<std::int64_t> plainScores(const MemoryKey& key,
                                      const std::vector<platform::i16>& choice) {
    std::vector<std::int64_t> scores(size_t(key.model.SpeciesCount), 0);
    for (int j = 0; j < key.model.StateCount; ++j)
        for (int i = 0; i < key.model.SpeciesCount; ++i)
            scores[size_t(i)] += std::int64_t(key.model.StateWeight[size_t(j)]) *
                                 choice[size_t(j)] * key.model.stateColumn(j)[i];
    return scores;
}

struct WideKey {
    MemoryKey key{9001, std::vector<int>(7, 3)};
    std::vector<platform::i16> choice = std::vector<platform::i16>(21, 0);

    // Matrix values and weights drawn from [-limit, limit]; `chosen` states answered.
    WideKey(int limit, int chosen) {
        std::mt19937 rng(99);
        std::uniform_int_distribution<int> value(-limit, limit);
        for (int j = 0; j < 21; ++j) {
            key.weight(j, value(rng));
            for (int i = 0; i < 9001; ++i) key.set(i, j, value(rng));
        }
        for (int j = 0; j < chosen; ++j) choice[size_t(j * 3 % 21)] = 1;
    }
};

TEST(RankingManySpecies, ScoresAreTheExactSumsAcrossBlocksOfSpecies) {
    WideKey wide(1000, 5);  // an odd number of chosen states
    ScriptedDialogs dialogs;
    Engine engine(wide.key.model, wide.key.tables, dialogs, testing_support::englishTexts());
    engine.state().StateChoice = wide.choice;
    engine.Actualise_Identification();
    EXPECT_EQ(engine.state().SpeciesScore, plainScores(wide.key, wide.choice));
}

TEST(RankingManySpecies, ScoresBeyondThirtyTwoBitsAreExact) {
    WideKey wide(32767, 6);
    for (int j = 0; j < 21; ++j) wide.key.weight(j, 32767);
    for (int i = 0; i < 9001; i += 7)
        for (int j = 0; j < 21; ++j) wide.key.set(i, j, 32767);
    ScriptedDialogs dialogs;
    Engine engine(wide.key.model, wide.key.tables, dialogs, testing_support::englishTexts());
    engine.state().StateChoice = wide.choice;
    engine.Actualise_Identification();
    const auto expected = plainScores(wide.key, wide.choice);
    EXPECT_EQ(expected[0], 6 * std::int64_t(32767) * 32767);  // beyond 32 bits
    EXPECT_EQ(engine.state().SpeciesScore, expected);
    EXPECT_EQ(engine.state().RankTable.score[0], expected[0]);
}

TEST(RankingNegative, NegativePercentagesTakeTheMinusSign) {
    MemoryKey key(2, {2});
    key.weight(0, 5), key.weight(1, -1);
    key.set(0, 1, 1);
    ScriptedDialogs dialogs;
    Engine engine(key.model, key.tables, dialogs, testing_support::englishTexts(), {"", "", -25});
    engine.state().StateChoice = {1, 1};
    engine.Actualise_Identification();
    EXPECT_EQ(engine.listLines(), (QStringList{" 0% - Sp1", "-25% - Sp0"}));
    EXPECT_EQ(engine.legend(), " 1 species at 0 %");
}

}  // namespace
