#include "memorykey.h"
#include "reference.h"
#include "support/scripteddialogs.h"

#include "engine/contradictions.h"
#include "engine/discriminantsearch.h"

#include <gtest/gtest.h>

using engine::Engine;
using testing_support::MemoryKey;
using testing_support::ScriptedDialogs;

namespace {

std::vector<platform::i16> randomChoice(std::mt19937& rng, int states) {
    std::vector<platform::i16> c(size_t(states), 0);
    for (auto& v : c) v = std::uniform_int_distribution<int>(0, 3)(rng) == 0 ? 1 : 0;
    return c;
}

std::vector<std::int64_t> widened(const std::vector<platform::i16>& v) {
    return std::vector<std::int64_t>(v.begin(), v.end());
}

// Random keys and descriptions: the engine ranks, lists and searches exactly as the plain
// computation does.
TEST(ReferenceCompare, RankingListAndSearchAgree) {
    std::mt19937 rng(20240611);
    int overflows = 0;
    for (int round = 0; round < 400; ++round) {
        auto key = testing_support::randomKey(rng);
        ScriptedDialogs dialogs;
        const int threshold = std::uniform_int_distribution<int>(-20, 100)(rng);
        Engine engine(key->model, key->tables, dialogs, testing_support::englishTexts(),
                      {"", "", threshold});
        reference::Reference ref(key->model, key->tables);
        ref.StateChoice = engine.state().StateChoice = randomChoice(rng, key->model.StateCount);
        engine.Actualise_Identification();
        if (!ref.Classe_Especes(threshold, "species at")) {
            ++overflows;
            continue;
        }
        SCOPED_TRACE(round);
        const auto& s = engine.state();
        ASSERT_EQ(s.SpeciesScore, widened(ref.SpeciesScore));
        ASSERT_EQ(s.RankTable.score, widened(ref.RankScore));
        ASSERT_EQ(s.RankTable.species,
                  std::vector<int>(ref.RankSpecies.begin(), ref.RankSpecies.end()));
        ASSERT_EQ(s.RankPercent, widened(ref.RankPercent));
        ASSERT_EQ(engine.listLines(), ref.lines);
        ASSERT_EQ(engine.legend(), ref.legend);
        ASSERT_EQ(s.TopSpeciesCount, ref.TopSpeciesCount);

        const int top = s.TopSpeciesCount == 0 ? key->model.SpeciesCount : s.TopSpeciesCount;
        const auto scores = engine.discriminantScores();
        const auto expected = ref.discriminantScores(top);
        ASSERT_EQ(scores, expected);
        ASSERT_EQ(engine::DiscriminantSearch::bestRow(scores),
                  reference::Reference::bestRow(expected));
    }
    EXPECT_LT(overflows, 20);
}

TEST(ReferenceCompare, SixteenBitOverflowIsTheOnlyDifference) {
    MemoryKey key(2, {2});
    key.weight(0, 200), key.weight(1, 200);
    key.set(0, 0, 1), key.set(0, 1, 1), key.set(1, 0, 1);
    ScriptedDialogs dialogs;
    Engine engine(key.model, key.tables, dialogs, testing_support::englishTexts());
    reference::Reference ref(key.model, key.tables);
    ref.StateChoice = engine.state().StateChoice = {1, 1};
    EXPECT_FALSE(ref.Classe_Especes(-1, "species at"));  // 400 x 100 does not fit
    engine.Actualise_Identification();
    EXPECT_EQ(engine.listLines(), (QStringList{" 100% - Sp0", " 50% - Sp1"}));
}

TEST(ReferenceCompare, SingleStateQuestionsScoreZeroWhereThePlainWayDividesByZero) {
    std::mt19937 rng(7);
    int singles = 0;
    for (int round = 0; round < 100; ++round) {
        auto key = testing_support::randomKey(rng, true);
        ScriptedDialogs dialogs;
        Engine engine(key->model, key->tables, dialogs, testing_support::englishTexts());
        reference::Reference ref(key->model, key->tables);
        engine.Actualise_Identification();
        ref.Classe_Especes(-1, "species at");
        const auto scores = engine.discriminantScores();
        const auto expected = ref.discriminantScores(key->model.SpeciesCount);
        for (size_t r = 0; r < key->tables.objects.size(); ++r) {
            if (key->tables.objects[r].stateCount == 1) {
                ++singles;
                EXPECT_EQ(scores[r], 0.0);
            } else {
                EXPECT_EQ(scores[r], expected[r]);
            }
        }
    }
    EXPECT_GT(singles, 10);
}

// Random answers on keys with chains of dependencies: validation clears what the plain
// recursion clears.
TEST(ReferenceCompare, ValidationAgrees) {
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        auto key = testing_support::randomKey(rng);
        ScriptedDialogs dialogs;
        Engine engine(key->model, key->tables, dialogs, testing_support::englishTexts());
        reference::Reference ref(key->model, key->tables);
        ref.StateChoice = engine.state().StateChoice = randomChoice(rng, key->model.StateCount);
        for (int step = 0; step < 6; ++step) {
            const int object =
                std::uniform_int_distribution<int>(0, int(key->tables.objects.size()) - 1)(rng);
            engine.openQuestion(MemoryKey::objectKey(object));
            engine.question().SelectedChoice = std::uniform_int_distribution<int>(
                -1, key->tables.objects[size_t(object)].stateCount - 1)(rng);
            ref.Valid_Descripteur(engine.question());
            engine.Valid_Descripteur();
            SCOPED_TRACE(round * 10 + step);
            ASSERT_EQ(engine.state().StateChoice, ref.StateChoice);
            ASSERT_EQ(engine.state().FrameState, ref.FrameState);
        }
        const int species = std::uniform_int_distribution<int>(0, key->model.SpeciesCount - 1)(rng);
        const auto found =
            engine::contradictedAnswers(key->model, key->tables, engine.state(), species);
        const auto expected = ref.contradicted(species);
        ASSERT_EQ(found.size(), expected.size());
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].object, expected[i].first);
            EXPECT_EQ(found[i].state, expected[i].second);
        }
    }
}

}  // namespace
