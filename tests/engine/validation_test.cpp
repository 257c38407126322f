#include "memorykey.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

using engine::Engine;
using platform::i16;
using testing_support::MemoryKey;
using testing_support::ScriptedDialogs;

namespace {

// Question 0 (states 0-2) opens frame 0; question 1 (states 3-4) depends on state 0, and
// question 2 (states 5-6) on state 3; question 3 (states 7-8) has no frame.
struct Validation : ::testing::Test {
    MemoryKey key{2, {3, 2, 2, 2}};
    ScriptedDialogs dialogs;
    std::unique_ptr<Engine> engine;

    void SetUp() override {
        key.tables.objects[3].frame = -1;
        key.depend(1, 0);
        key.depend(2, 3);
        key.finish();
        engine = std::make_unique<Engine>(key.model, key.tables, dialogs,
                                          testing_support::englishTexts());
    }
    std::vector<i16>& choice() { return engine->state().StateChoice; }
    void answer(int object, int selected) {
        ASSERT_TRUE(engine->openQuestion(MemoryKey::objectKey(object)));
        engine->question().SelectedChoice = selected;
        engine->Valid_Descripteur();
    }
};

TEST_F(Validation, AnsweringChoosesTheStateAndOpensTheFrame) {
    answer(0, 1);
    EXPECT_EQ(choice(), (std::vector<i16>{0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(engine->state().FrameState[0], -1);
}

TEST_F(Validation, SameSingleStateChangesNothing) {
    choice() = {1, 0, 0, 1, 0, 1, 0, 0, 0};  // question 1 and 2 answered under state 0
    engine->state().FrameState[0] = 0;
    answer(0, 0);
    EXPECT_EQ(choice(), (std::vector<i16>{1, 0, 0, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(engine->state().FrameState[0], 0);
}

TEST_F(Validation, ChangingTheAnswerClearsDependantsAtEveryLevel) {
    choice() = {1, 0, 0, 0, 1, 1, 0, 0, 0};
    answer(0, 2);
    EXPECT_EQ(choice(), (std::vector<i16>{0, 0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(engine->state().FrameState[0], -1);
    EXPECT_EQ(engine->state().FrameState[1], 0);  // cleared questions keep their frame
}

TEST_F(Validation, NoHighlightUnanswersTheQuestion) {
    choice() = {1, 0, 0, 1, 0, 0, 0, 0, 0};
    engine->state().FrameState[0] = -1;
    engine->state().FrameState[1] = -1;
    answer(0, -1);
    EXPECT_EQ(choice(), (std::vector<i16>{0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(engine->state().FrameState[0], 0);
    EXPECT_EQ(engine->state().FrameState[1], -1);
}

TEST_F(Validation, NothingChosenAndNothingHighlightedLeavesTheFrame) {
    engine->state().FrameState[0] = -1;
    answer(0, -1);
    EXPECT_EQ(engine->state().FrameState[0], -1);
}

TEST_F(Validation, TwoChosenStatesOnlyTheLastOnesDependantsGo) {
    // States 3 and 4 of question 1 both chosen (from a file); question 2 depends on state 3.
    key.depend(2, 4);
    key.finish();
    Engine e(key.model, key.tables, dialogs, testing_support::englishTexts());
    auto& c = e.state().StateChoice;
    const auto run = [&](int selected) {
        c = {1, 0, 0, 1, 1, 1, 0, 0, 0};
        e.openQuestion("O01");
        e.question().SelectedChoice = selected;
        e.Valid_Descripteur();
    };
    run(1);  // highlight s2 = state 4: dependants of 4 cleared, 3 cleared, 4 kept
    EXPECT_EQ(c, (std::vector<i16>{1, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(e.state().FrameState[1], -1);
    run(0);  // highlight s1 = state 3: dependants of 4 cleared, 3 and 4 kept
    EXPECT_EQ(c, (std::vector<i16>{1, 0, 0, 1, 1, 0, 0, 0, 0}));
}

TEST_F(Validation, StatesAfterTheHighlightedChosenOneStay) {
    choice() = {1, 1, 1, 0, 0, 0, 0, 0, 0};
    answer(0, 1);  // last chosen is 2: its dependants go; 0 cleared; 1 kept; 2 stays
    EXPECT_EQ(choice(), (std::vector<i16>{0, 1, 1, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Validation, QuestionWithoutFrameTouchesNoFrame) {
    answer(3, 1);
    EXPECT_EQ(choice()[8], 1);
    EXPECT_EQ(engine->state().FrameState, (std::vector<i16>{0, 0, 0, 0}));
}

TEST_F(Validation, OpeningAQuestionHighlightsItsLastChosenState) {
    choice() = {0, 2, 1, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(engine->openQuestion("o00"));  // keys compare without case
    EXPECT_EQ(engine->question().SelectedChoice, 2);
    EXPECT_EQ(engine->question().CurrentObject, "o00");
    EXPECT_EQ(engine->question().ObjectFrame, 0);
    EXPECT_FALSE(engine->openQuestion("Search"));
}

TEST(ValidationFaults, CycleInDependenciesEnds) {
    MemoryKey key(1, {2, 2, 2});
    key.depend(1, 0);
    key.depend(2, 2);
    key.depend(0, 4);  // question 0 depends on its own descendant
    key.finish();
    ScriptedDialogs dialogs;
    Engine engine(key.model, key.tables, dialogs, testing_support::englishTexts());
    engine.state().StateChoice = {1, 0, 1, 0, 1, 0};
    engine.openQuestion("O00");
    engine.question().SelectedChoice = 1;
    engine.Valid_Descripteur();
    EXPECT_EQ(engine.state().StateChoice, (std::vector<i16>{0, 1, 0, 0, 0, 0}));
}

TEST(ValidationFaults, MissingKeysAndStatesArePassedOver) {
    MemoryKey key(1, {2, 2});
    key.depend(1, 0);
    key.tables.dependencies.insert(key.tables.dependencies.begin(), {"E0", "NOSUCH"});
    key.tables.stateCodes.remove(1);  // state 1 has no "Caracteres" row
    key.finish();
    ScriptedDialogs dialogs;
    Engine engine(key.model, key.tables, dialogs, testing_support::englishTexts());
    engine.state().StateChoice = {1, 0, 1, 0};
    engine.openQuestion("O00");
    engine.question().SelectedChoice = 1;
    engine.Valid_Descripteur();
    EXPECT_EQ(engine.state().StateChoice, (std::vector<i16>{0, 1, 0, 0}));
    engine.question().SelectedChoice = 0;
    engine.Valid_Descripteur();  // state 1 has no code: nothing depends on it
    EXPECT_EQ(engine.state().StateChoice, (std::vector<i16>{1, 0, 0, 0}));
}

}  // namespace
