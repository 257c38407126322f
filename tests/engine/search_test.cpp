#include "memorykey.h"
#include "support/scripteddialogs.h"

#include "engine/discriminantsearch.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>

using engine::Engine;
using engine::SearchOutcome;
using platform::Dialogs;
using testing_support::MemoryKey;
using testing_support::ScriptedDialogs;

namespace {

// Four species, all tied while nothing is chosen. Question 0 has two states, 1 three, 2 two.
struct Search : ::testing::Test {
    MemoryKey key{4, {2, 3, 2}};
    ScriptedDialogs dialogs;
    std::unique_ptr<Engine> engine;

    void split(int object, std::vector<int> stateOfSpecies) {
        for (int s = 0; s < 4; ++s)
            key.set(s, key.firstState(object) + stateOfSpecies[size_t(s)], 1);
    }
    void start() {
        key.finish();
        engine = std::make_unique<Engine>(key.model, key.tables, dialogs,
                                          testing_support::englishTexts());
        engine->Actualise_Identification();
    }
};

TEST_F(Search, ScoresAreTheNormalisedEntropyOfTheSplit) {
    split(0, {0, 0, 1, 1});
    split(1, {0, 0, 1, 2});
    split(2, {0, 0, 0, 1});
    start();
    const auto scores = engine->discriminantScores();
    ASSERT_EQ(scores.size(), 4u);
    EXPECT_DOUBLE_EQ(scores[0], 1.0);
    EXPECT_NEAR(scores[1], 0.9464, 5e-5);
    EXPECT_NEAR(scores[2], 0.8113, 5e-5);
    EXPECT_EQ(engine->Maitre_Discriminant(), SearchOutcome::QuestionOpened);
    const auto& q = engine->state().question;
    EXPECT_EQ(q.CurrentObject, "O00");
    EXPECT_EQ(q.SelectedChoice, -1);
    EXPECT_EQ(q.ObjectPicture, "q0.bmp");
    EXPECT_EQ(q.ObjectStateCount, 2);
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(Search, EqualBestScoresProposeTheFirstInKeyOrder) {
    split(0, {0, 0, 1, 1});
    split(1, {0, 0, 0, 0});  // all in one state: never proposed
    split(2, {1, 1, 0, 0});
    start();
    const auto scores = engine->discriminantScores();
    EXPECT_EQ(scores[1], 0.0);
    EXPECT_EQ(scores[0], scores[2]);
    engine->Cherche_Discriminant();
    EXPECT_EQ(engine->state().question.CurrentObject, "O00");
}

TEST_F(Search, AnsweredOrNotProposableQuestionsScoreZero) {
    split(0, {0, 0, 1, 1});
    split(1, {0, 0, 1, 2});
    split(2, {0, 1, 0, 1});
    key.tables.objects[1].joker = false;
    start();
    engine->state().StateChoice[size_t(key.firstState(2))] = 2;  // any non-zero answers it
    const auto scores = engine->discriminantScores();
    EXPECT_EQ(scores[1], 0.0);
    EXPECT_EQ(scores[2], 0.0);
    EXPECT_EQ(scores[0], 1.0);
}

TEST_F(Search, OnlyTheTopSpeciesAreSeparated) {
    split(0, {0, 0, 1, 1});
    split(1, {0, 1, 0, 0});
    split(2, {0, 0, 0, 0});
    start();
    engine->state().StateChoice[0] = 1;  // species 0 and 1 lead
    engine->Actualise_Identification();
    ASSERT_EQ(engine->state().TopSpeciesCount, 2);
    const auto scores = engine->discriminantScores();
    EXPECT_EQ(scores[0], 0.0);  // answered
    EXPECT_DOUBLE_EQ(scores[1], std::log(2.0) / std::log(3.0));
}

TEST_F(Search, NothingLeftWithoutSkipsSaysSoOnce) {
    split(0, {0, 0, 1, 1});
    key.tables.objects[1].joker = key.tables.objects[2].joker = false;
    start();
    engine->state().StateChoice[0] = 1;
    engine->state().TopSpeciesCount = 2;
    EXPECT_EQ(engine->Maitre_Discriminant(), SearchOutcome::NothingLeft);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "No more discriminant characteristic !!!");
    EXPECT_EQ(dialogs.asked[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(dialogs.asked[0].title, QString());
}

TEST_F(Search, SkipThenRetryProposesSkippedQuestionsAgain) {
    split(0, {0, 0, 1, 1});
    split(1, {0, 0, 1, 2});
    start();
    ASSERT_EQ(engine->Maitre_Discriminant(), SearchOutcome::QuestionOpened);
    EXPECT_EQ(engine->question().CurrentObject, "O00");
    ASSERT_EQ(engine->skipQuestion(), SearchOutcome::QuestionOpened);
    EXPECT_EQ(engine->question().CurrentObject, "O01");
    dialogs.answers = {Dialogs::Answer::No};
    EXPECT_EQ(engine->skipQuestion(), SearchOutcome::Declined);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text,
              "No more discriminant characteristic !!!\nDo you want to try chararacteristics "
              "you didn't use ?");
    EXPECT_EQ(dialogs.asked[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_TRUE(engine->state().SkippedQuestions);

    dialogs.answers = {Dialogs::Answer::Yes};
    EXPECT_EQ(engine->Cherche_Discriminant(), SearchOutcome::QuestionOpened);
    EXPECT_EQ(engine->question().CurrentObject, "O00");
    EXPECT_FALSE(engine->state().SkippedQuestions);
    EXPECT_TRUE(engine->state().JokerFlag[1]);
}

TEST_F(Search, RetryKeepsQuestionsTheKeyDoesNotAllow) {
    split(0, {0, 0, 1, 1});
    split(2, {0, 1, 0, 1});
    key.tables.objects[2].joker = false;
    start();
    ASSERT_EQ(engine->Maitre_Discriminant(), SearchOutcome::QuestionOpened);
    dialogs.answers = {Dialogs::Answer::Yes};
    EXPECT_EQ(engine->skipQuestion(), SearchOutcome::QuestionOpened);
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(engine->question().CurrentObject, "O00");
    EXPECT_FALSE(engine->state().JokerFlag[2]);
}

TEST_F(Search, OneSpeciesAtTheTopNeedsNoSearch) {
    split(0, {0, 0, 1, 1});
    key.set(3, 4, 1);
    start();
    engine->state().StateChoice[4] = 1;
    engine->Actualise_Identification();
    EXPECT_EQ(engine->Maitre_Discriminant(), SearchOutcome::OnlyOneSpecies);
    EXPECT_EQ(dialogs.texts(), QStringList{"There is only one species"});
    EXPECT_EQ(engine->question().CurrentObject, QString());
}

TEST_F(Search, HiddenListSeparatesEverySpecies) {
    split(0, {0, 0, 1, 1});
    start();
    engine->setListThreshold(101);
    engine->Actualise_Identification();
    ASSERT_EQ(engine->state().TopSpeciesCount, 0);
    EXPECT_EQ(engine->Cherche_Discriminant(), SearchOutcome::QuestionOpened);
    EXPECT_EQ(engine->state().TopSpeciesCount, 4);
}

TEST(SearchSingleState, ProposableSingleStateQuestionScoresZero) {
    MemoryKey key(3, {1, 2});
    key.set(0, 0, 1), key.set(1, 0, 1);
    key.set(0, 1, 1), key.set(2, 2, 1);
    ScriptedDialogs dialogs;
    Engine engine(key.model, key.tables, dialogs, testing_support::englishTexts());
    engine.Actualise_Identification();
    const auto scores = engine.discriminantScores();
    EXPECT_EQ(scores[0], 0.0);
    EXPECT_GT(scores[1], 0.0);
    EXPECT_EQ(engine.Cherche_Discriminant(), SearchOutcome::QuestionOpened);
    EXPECT_EQ(engine.question().CurrentObject, "O01");
}

TEST(SearchCounts, EachStateColumnIsCountedOnce) {
    // Two questions over the same states share their counts.
    MemoryKey key(3, {2});
    key.tables.objects.push_back(key.tables.objects[0]);
    key.tables.objects[1].key = "O01";
    key.tables.objects[1].descriptor = 1;
    key.set(0, 0, 1), key.set(1, 1, 1), key.set(2, 1, 1);
    key.finish();
    engine::IdentificationState state;
    state.reset(key.model);
    state.JokerFlag = {true, true};
    engine::DiscriminantSearch search(key.model, key.tables, state);
    const auto scores = search.scores(3);
    EXPECT_EQ(scores[0], scores[1]);
    EXPECT_EQ(search.stateCount(0, 3), 1);
    EXPECT_EQ(search.stateCount(1, 3), 2);
    EXPECT_EQ(search.stateCount(1, 1), 0);  // top of one: species 0 only
}

// Whatever the size of the top, and wherever its species lie in the matrix, a state's count
// is the number of top species showing it: few (read one by one), many (read through a
// mask) or all. The matrix holds values other than 1 too, which are summed.
TEST(SearchCounts, EveryTopSizeCountsTheSameAsByHand) {
    const int species = 256;
    MemoryKey key(species, {3});
    std::mt19937 rng(5);
    for (int s = 0; s < species; ++s) key.set(s, int(rng() % 3), s % 17 == 0 ? 2 : 1);
    key.finish();
    engine::IdentificationState state;
    state.reset(key.model);
    std::vector<int> order(species);
    for (int s = 0; s < species; ++s) order[size_t(s)] = species - 1 - s;
    std::shuffle(order.begin(), order.end(), rng);
    state.RankTable.species = order;
    for (int top : {1, 2, 31, 32, 33, 200, 255, 256}) {
        engine::DiscriminantSearch search(key.model, key.tables, state);
        for (int j = 0; j < 3; ++j) {
            std::int64_t expected = 0;
            for (int k = 0; k < top; ++k) expected += key.model.matrix(order[size_t(k)], j);
            EXPECT_EQ(search.stateCount(j, top), expected) << "top " << top << ", state " << j;
        }
    }
}

}  // namespace
