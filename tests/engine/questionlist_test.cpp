#include "engine/questionlist.h"
#include "memorykey.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

using engine::Engine;
using engine::QuestionSection;
using platform::i16;
using testing_support::MemoryKey;
using testing_support::ScriptedDialogs;

namespace {

// Question 0 (states 0-2), question 1 (states 3-4) depends on state 0, question 2 (states
// 5-6) on state 3 or state 1; question 3 (states 7-8). Descriptors run against key order
// (question r has descriptor 3 - r), so the author's order is 3, 2, 1, 0.
struct QuestionList : ::testing::Test {
    MemoryKey key{2, {3, 2, 2, 2}};
    ScriptedDialogs dialogs;
    std::unique_ptr<Engine> engine;

    void SetUp() override {
        for (int r = 0; r < 4; ++r) key.tables.objects[size_t(r)].descriptor = 3 - r;
        key.depend(1, 0);
        key.depend(2, 3);
        key.depend(2, 1);
        for (int j = 0; j < 9; ++j)
            key.tables.stateTexts.insert(j, QStringLiteral("state %1").arg(j));
        key.tables.stateTexts[7] = QStringLiteral("Élytres rouges");
        key.finish();
        rebuild();
    }
    void rebuild() {
        engine = std::make_unique<Engine>(key.model, key.tables, dialogs,
                                          testing_support::englishTexts());
    }
    std::vector<QuestionSection> sections() const {
        return engine::questionSections(engine->tables(), engine->state());
    }
    std::vector<i16>& choice() { return engine->state().StateChoice; }
    void answer(int object, int selected) {
        ASSERT_TRUE(engine->openQuestion(MemoryKey::objectKey(object)));
        engine->question().SelectedChoice = selected;
        engine->Valid_Descripteur();
    }
    static QStringList keys(const QuestionSection& s) {
        QStringList out;
        for (const auto& e : s.entries) out << e.key;
        return out;
    }
};

TEST_F(QuestionList, WithoutGroupsOneFlatListInTheAuthorsOrder) {
    const auto list = sections();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0].group.isEmpty());
    EXPECT_EQ(keys(list[0]), (QStringList{"O03", "O02", "O01", "O00"}));
    EXPECT_EQ(list[0].entries[3].stateTexts, (QStringList{"state 0", "state 1", "state 2"}));
}

TEST_F(QuestionList, AnswersAreWrittenOutAndDependantsDimmedUntilTheirStateIsChosen) {
    auto entry = [&](const QString& k) {
        const auto list = sections();
        for (const auto& e : list[0].entries)
            if (e.key == k) return e;
        return engine::QuestionEntry{};
    };
    EXPECT_FALSE(entry("O01").askable);
    EXPECT_FALSE(entry("O02").askable);
    EXPECT_TRUE(entry("O00").askable);
    answer(0, 1);  // state 1: question 2 may be asked (one of its parents), question 1 not
    EXPECT_TRUE(entry("O00").answered);
    EXPECT_EQ(entry("O00").chosenTexts, QStringList{"state 1"});
    EXPECT_FALSE(entry("O01").askable);
    EXPECT_TRUE(entry("O02").askable);
    choice()[5] = choice()[6] = 1;  // two states, as an opened file may hold
    EXPECT_EQ(entry("O02").chosenTexts, (QStringList{"state 5", "state 6"}));
}

TEST_F(QuestionList, GroupsFollowTheirOrderAndUngroupedQuestionsComeLast) {
    key.tables.groups.insert("o00", {"Head", 5});
    key.tables.groups.insert("o02", {"Wings", 1});
    key.tables.groups.insert("o01", {"Head", 2});
    rebuild();
    const auto list = sections();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].group, "Wings");
    EXPECT_EQ(keys(list[0]), QStringList{"O02"});
    EXPECT_EQ(list[1].group, "Head");
    EXPECT_EQ(keys(list[1]), (QStringList{"O01", "O00"}));
    EXPECT_TRUE(list[2].group.isEmpty());
    EXPECT_EQ(keys(list[2]), QStringList{"O03"});
}

TEST_F(QuestionList, FilterIgnoresCaseAndAccentsAndNeedsEveryWord) {
    const auto list = sections();
    const auto& q3 = list[0].entries[0];
    ASSERT_EQ(q3.key, "O03");
    EXPECT_TRUE(engine::matchesFilter(q3, "elytres"));
    EXPECT_TRUE(engine::matchesFilter(q3, "ÉLYTRES  Question"));
    EXPECT_TRUE(engine::matchesFilter(q3, "  "));
    EXPECT_FALSE(engine::matchesFilter(q3, "elytres bleues"));
    EXPECT_FALSE(engine::matchesFilter(list[0].entries[1], "elytres"));
    EXPECT_EQ(engine::searchFolded("Straße ÅNGSTRÖM Œil Cæcum"),
              QString("strasse angstrom oeil caecum"));
    EXPECT_EQ(engine::searchFolded("Elytra SHAPE_2 [Zz]"), QString("elytra shape_2 [zz]"));
}

TEST_F(QuestionList, ForgettingClearsTheAnswerItsDependantsAndItsFrameButKeepsTheOpenQuestion) {
    answer(0, 0);
    answer(1, 0);
    answer(2, 1);
    answer(3, 1);
    ASSERT_EQ(choice(), (std::vector<i16>{1, 0, 0, 1, 0, 0, 1, 0, 1}));
    ASSERT_TRUE(engine->openQuestion("O03"));
    EXPECT_TRUE(engine->forgetAnswer("o00"));
    EXPECT_EQ(choice(), (std::vector<i16>{0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(engine->state().FrameState[0], 0);
    EXPECT_EQ(engine->question().CurrentObject, "O03");
    EXPECT_EQ(engine->question().SelectedChoice, 1);
    EXPECT_FALSE(engine->forgetAnswer("O00"));  // nothing left to forget
    EXPECT_FALSE(engine->forgetAnswer("NOPE"));
}

TEST_F(QuestionList, UndoAndRedoWalkThroughTheRecordedAnswers) {
    EXPECT_FALSE(engine->undo());
    answer(0, 0);
    EXPECT_TRUE(engine->rememberDescription());
    EXPECT_FALSE(engine->rememberDescription());  // the same answer confirmed again
    answer(1, 1);
    engine->rememberDescription();
    answer(3, 0);
    engine->rememberDescription();
    const auto third = choice();
    ASSERT_TRUE(engine->undo());
    EXPECT_EQ(choice(), (std::vector<i16>{1, 0, 0, 0, 1, 0, 0, 0, 0}));
    ASSERT_TRUE(engine->undo());
    ASSERT_TRUE(engine->undo());
    EXPECT_EQ(choice(), std::vector<i16>(9, 0));
    EXPECT_EQ(engine->state().FrameState, std::vector<i16>(4, 0));
    EXPECT_FALSE(engine->undo());
    ASSERT_TRUE(engine->redo());
    EXPECT_EQ(engine->state().FrameState[0], -1);
    ASSERT_TRUE(engine->redo());
    ASSERT_TRUE(engine->redo());
    EXPECT_EQ(choice(), third);
    EXPECT_FALSE(engine->redo());
    // A new answer after an Undo drops the steps that were undone.
    engine->undo();
    engine->forgetAnswer("O00");
    engine->rememberDescription();
    EXPECT_FALSE(engine->history().canRedo());
    engine->undo();
    EXPECT_EQ(choice(), (std::vector<i16>{1, 0, 0, 0, 1, 0, 0, 0, 0}));
    engine->restartHistory();
    EXPECT_FALSE(engine->history().canUndo());
}

TEST(DescriptionHistory, KeepsAtMostItsLimitDroppingTheOldest) {
    engine::DescriptionHistory h(3);
    h.restart({{0}, {}});
    for (i16 v = 1; v <= 4; ++v) h.record({{v}, {}});
    EXPECT_EQ(h.size(), 3u);
    EXPECT_EQ(h.undo()->StateChoice[0], 3);
    EXPECT_EQ(h.undo()->StateChoice[0], 2);
    EXPECT_EQ(h.undo(), nullptr);
}

}  // namespace

namespace {

bool sameSections(const std::vector<QuestionSection>& a, const std::vector<QuestionSection>& b) {
    if (a.size() != b.size()) return false;
    for (size_t g = 0; g < a.size(); ++g) {
        if (a[g].group != b[g].group || a[g].entries.size() != b[g].entries.size()) return false;
        for (size_t i = 0; i < a[g].entries.size(); ++i) {
            const auto &x = a[g].entries[i], &y = b[g].entries[i];
            if (x.object != y.object || x.key != y.key || x.text != y.text ||
                x.stateTexts != y.stateTexts || x.chosenTexts != y.chosenTexts ||
                x.answered != y.answered || x.askable != y.askable ||
                x.searchText != y.searchText || x.parentStates != y.parentStates ||
                x.dependent != y.dependent)
                return false;
        }
    }
    return true;
}

// After an answer the list is made from the one before it: answers and what can be asked
// follow the description, exactly as a list made afresh.
TEST_F(QuestionList, AListMadeFromThePreviousOneEqualsOneMadeAfresh) {
    auto previous = sections();
    answer(0, 0);
    answer(3, 1);
    auto next = engine::questionSections(engine->tables(), engine->state(), previous);
    EXPECT_TRUE(sameSections(next, sections()));
    EXPECT_EQ(next[0].entries[0].chosenTexts, QStringList{"state 8"});
    choice().assign(choice().size(), 0);
    auto cleared = engine::questionSections(engine->tables(), engine->state(), next);
    EXPECT_TRUE(sameSections(cleared, sections()));
    EXPECT_FALSE(cleared[0].entries[3].answered);
}

// Followed in place, a list equals one made afresh, and exactly the entries whose answer or
// being askable changed are told; a list of other questions is left as it was.
TEST_F(QuestionList, AnswersFollowedInPlaceTellWhatChanged) {
    using Told = std::vector<std::pair<QString, bool>>;
    auto list = sections();
    Told told;
    const auto tell = [&](const engine::QuestionEntry& e, bool answerChanged) {
        told.emplace_back(e.key, answerChanged);
    };
    ASSERT_TRUE(engine::followAnswers(engine->tables(), engine->state(), list, tell));
    EXPECT_TRUE(told.empty()) << "nothing changed, nothing told";

    // State 0 answers question 0 and makes question 1 askable; question 2 waits for 3 or 1.
    answer(0, 0);
    ASSERT_TRUE(engine::followAnswers(engine->tables(), engine->state(), list, tell));
    EXPECT_TRUE(sameSections(list, sections()));
    EXPECT_EQ(told, (Told{{"O01", false}, {"O00", true}}));

    told.clear();
    answer(3, 1);  // nothing depends on question 3: only its answer changes
    ASSERT_TRUE(engine::followAnswers(engine->tables(), engine->state(), list, tell));
    EXPECT_EQ(told, (Told{{"O03", true}}));

    told.clear();
    choice().assign(choice().size(), 0);
    ASSERT_TRUE(engine::followAnswers(engine->tables(), engine->state(), list, tell));
    EXPECT_TRUE(sameSections(list, sections()));
    EXPECT_EQ(told, (Told{{"O03", true}, {"O01", false}, {"O00", true}}));

    auto other = sections();
    other[0].entries.pop_back();
    const auto kept = other;
    told.clear();
    answer(0, 1);
    EXPECT_FALSE(engine::followAnswers(engine->tables(), engine->state(), other, tell));
    EXPECT_TRUE(sameSections(other, kept));
    EXPECT_TRUE(told.empty());
}

}  // namespace
