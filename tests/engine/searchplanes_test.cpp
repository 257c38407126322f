#include "memorykey.h"
#include "support/scripteddialogs.h"

#include "engine/discriminantsearch.h"
#include "engine/stateplanes.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>

using engine::DiscriminantSearch;
using engine::StatePlanes;
using testing_support::MemoryKey;

namespace {

// 1,000 species (not a whole number of 64-species words), questions of two to five states,
// each species showing one state of each question. Two columns hold other values: a 2 for
// one species, a -1 for another; their counts are sums, not numbers of species.
std::unique_ptr<MemoryKey> tiedKey(int species, std::mt19937& rng) {
    auto key = std::make_unique<MemoryKey>(species, std::vector<int>{2, 3, 5, 4, 2, 3});
    const int questions = int(key->tables.objects.size());
    for (int q = 0; q < questions; ++q) {
        const auto& object = key->tables.objects[size_t(q)];
        for (int s = 0; s < species; ++s)
            key->set(s, object.firstState + int(rng() % unsigned(object.stateCount)), 1);
    }
    key->set(species - 1, key->firstState(1), 2);
    key->set(3, key->firstState(3) + 2, -1);
    key->finish();
    return key;
}

std::vector<int> shuffledRanking(int species, std::mt19937& rng) {
    std::vector<int> order(size_t(species), 0);
    for (int s = 0; s < species; ++s) order[size_t(s)] = s;
    std::shuffle(order.begin(), order.end(), rng);
    return order;
}

// The tops a key meets: a few species, a thirty-second (where whole columns start being
// read), an eighth, a half, all but one and all. Packed columns, packed on the way by a large
// top and reused by the next searches, give every count and score of the plain way, so the
// same question.
TEST(SearchPlanes, EveryTieCountsAndScoresAsThePlainWay) {
    std::mt19937 rng(11);
    const int species = 1000;
    const auto key = tiedKey(species, rng);
    engine::IdentificationState state;
    state.reset(key->model);
    state.RankTable.species = shuffledRanking(species, rng);
    StatePlanes planes;
    for (int top : {2, 40, species / 8, species / 8 - 1, species / 2, species - 1, species, 8,
                    species / 64, species / 8, 1, 2, 7, species}) {
        DiscriminantSearch plain(key->model, key->tables, state);
        DiscriminantSearch packed(key->model, key->tables, state, &planes);
        const auto expected = plain.scores(top);
        EXPECT_EQ(packed.scores(top), expected) << "top " << top;
        EXPECT_EQ(DiscriminantSearch::bestRow(packed.scores(top)),
                  DiscriminantSearch::bestRow(expected));
        for (int j = 0; j < key->model.StateCount; ++j) {
            std::int64_t byHand = 0;
            for (int k = 0; k < top; ++k)
                byHand += key->model.matrix(state.RankTable.species[size_t(k)], j);
            ASSERT_EQ(packed.stateCount(j, top), byHand) << "top " << top << ", state " << j;
        }
    }
    EXPECT_TRUE(planes.packed(0));
    EXPECT_TRUE(planes.holdsOtherValues(key->firstState(1)));
    EXPECT_TRUE(planes.holdsOtherValues(key->firstState(3) + 2));
}

// Columns packed from one matrix say nothing of another; a top that names a species twice
// (no ranking does) is still summed as it stands.
TEST(SearchPlanes, AnotherMatrixOrARepeatedSpeciesIsCountedAfresh) {
    std::mt19937 rng(12);
    const auto first = tiedKey(130, rng);
    const auto second = tiedKey(130, rng);
    StatePlanes planes;
    for (const auto* key : {first.get(), second.get()}) {
        engine::IdentificationState state;
        state.reset(key->model);
        state.RankTable.species = shuffledRanking(130, rng);
        DiscriminantSearch plain(key->model, key->tables, state);
        DiscriminantSearch packed(key->model, key->tables, state, &planes);
        EXPECT_EQ(packed.scores(130), plain.scores(130));
    }
    engine::IdentificationState state;
    state.reset(second->model);
    state.RankTable.species = shuffledRanking(130, rng);
    state.RankTable.species[1] = state.RankTable.species[0];
    DiscriminantSearch packed(second->model, second->tables, state, &planes);
    const int twice = state.RankTable.species[0];
    for (int j = 0; j < second->model.StateCount; ++j) {
        std::int64_t byHand = 0;
        for (int k = 0; k < 130; ++k)
            byHand += second->model.matrix(state.RankTable.species[size_t(k)], j);
        ASSERT_EQ(packed.stateCount(j, 130), byHand) << "state " << j << ", species " << twice;
    }
    // The lowest value a column may hold is no 1 either.
    MemoryKey lowest(100, {2});
    for (int s = 0; s < 100; s += 3) lowest.set(s, 0, 1);
    lowest.set(10, 0, -32768);
    lowest.finish();
    state.reset(lowest.model);
    state.RankTable.species = shuffledRanking(100, rng);
    DiscriminantSearch low(lowest.model, lowest.tables, state, &planes);
    EXPECT_EQ(low.stateCount(0, 100), 34 - 32768);  // species 0, 3, ..., 99 and 10
    EXPECT_TRUE(planes.holdsOtherValues(0));
}

// The engine keeps its packed columns between searches: a search over all species, then
// ties of an eighth, a half and all but one, propose what the plain way finds best.
TEST(SearchPlanes, TheEngineProposesThePlainWaysBest) {
    std::mt19937 rng(13);
    const int species = 1000;
    const auto key = tiedKey(species, rng);
    testing_support::ScriptedDialogs dialogs;
    engine::Engine engine(key->model, key->tables, dialogs, testing_support::englishTexts());
    engine.Actualise_Identification();
    auto& ranking = engine.state().RankTable;
    ranking.species = shuffledRanking(species, rng);
    for (int top : {species, species / 8, species / 2, species - 1}) {
        engine.state().TopSpeciesCount = top;
        DiscriminantSearch plain(key->model, key->tables, engine.state());
        const int best = DiscriminantSearch::bestRow(plain.scores(top));
        ASSERT_GE(best, 0);
        EXPECT_EQ(engine.discriminantScores(), plain.scores(top)) << "top " << top;
        ASSERT_EQ(engine.Cherche_Discriminant(), engine::SearchOutcome::QuestionOpened);
        EXPECT_EQ(engine.question().CurrentObject, key->tables.objects[size_t(best)].key)
            << "top " << top;
    }
}

}  // namespace
