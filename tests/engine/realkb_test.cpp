#include "memorykey.h"
#include "support/scripteddialogs.h"
#include "support/testkb.h"

#include "kb/loader.h"

#include <gtest/gtest.h>

using engine::Engine;
using engine::KeyTables;
using testing_support::ScriptedDialogs;
using testing_support::TestKb;

namespace {

// The engine on a knowledge base written to disk and loaded as the program loads it.
struct RealKb : ::testing::Test {
    TestKb kb;
    kb::Model model;
    ScriptedDialogs dialogs;

    KeyTables load() {
        kb.write();
        const auto result = kb::loadKnowledgeBase(model, kb.options());
        EXPECT_TRUE(result.ok()) << result.detail.toStdString();
        QString error;
        KeyTables tables = KeyTables::fromModel(model, &error);
        EXPECT_EQ(error, QString());
        return tables;
    }
};

TEST_F(RealKb, TablesAreReadInKeyOrder) {
    kb.objects.insert(kb.objects.begin(), {"ZETA", 1, 2, 0, 2, -1, 2, "Z", "z.bmp", false});
    kb.variants = {{0, "b.wmf", {"P1"}}, {0, "a.wmf", {}}};
    kb.dependencies = {{"A1", "PATTE"}, {"A2", "missing"}};
    kb.contradictions = {{"AILE", 2}, {"PATTE", -1}};
    const KeyTables t = load();
    ASSERT_EQ(t.objects.size(), 3u);
    EXPECT_EQ(t.objects[0].key, "AILE");
    EXPECT_EQ(t.objects[2].key, "ZETA");
    EXPECT_EQ(t.objects[2].frame, -1);
    EXPECT_FALSE(t.objects[2].joker);
    EXPECT_EQ(t.objects[1].firstState, 2);
    EXPECT_EQ(t.objects[1].stateCount, 3);
    EXPECT_EQ(t.objects[1].picture, "patte.bmp");
    ASSERT_EQ(t.variants.size(), 2u);
    EXPECT_EQ(t.variants[0].name, "b.wmf");
    EXPECT_EQ(t.variants[0].conditions[0].state, 2);
    EXPECT_EQ(t.variants[0].conditions[1].kind, engine::Condition::Kind::End);
    EXPECT_EQ(t.dependants("A1"), std::vector<int>{1});
    EXPECT_TRUE(t.dependants("A2").empty());
    EXPECT_EQ(t.codeOfState(4), "P3");
    EXPECT_EQ(t.stateOfCode("p2"), 3);
    ASSERT_NE(t.contradiction("patte"), nullptr);
    EXPECT_EQ(t.contradiction("patte")->button, -1);
    EXPECT_EQ(t.contradiction("AILE")->popup, "aile");
    ASSERT_EQ(t.deterButtons.size(), 2u);
    EXPECT_EQ(t.deterButtons[1]->key, "AILE");
}

TEST_F(RealKb, AnswerPathOnTheLoadedBase) {
    kb.dependencies = {{"A1", "PATTE"}};
    kb.contradictions = {{"AILE", 2}};
    const KeyTables tables = load();
    Engine engine(model, tables, dialogs, testing_support::englishTexts(),
                  {kb.dataDir(), kb.dataDir() + "robot\\", -1});
    engine.Nettoye();
    engine.Actualise_Identification();
    ASSERT_TRUE(engine.openQuestion("AILE"));
    engine.question().SelectedChoice = 0;
    engine.Valid_Descripteur();
    engine.Actualise_Identification();
    EXPECT_EQ(engine.listLines(),
              (QStringList{" 100% - Alpha alpha", " 100% - Gamma gamma", " 0% - Beta beta"}));
    EXPECT_EQ(engine.legend(), " 2 species at 100 %");

    ASSERT_TRUE(engine.openQuestion("PATTE"));
    engine.question().SelectedChoice = 2;
    engine.Valid_Descripteur();
    engine.Actualise_Identification();
    EXPECT_EQ(engine.listLine(0), " 100% - Gamma gamma");

    const auto display = engine.Affiche_Contradictions(2);  // Beta beta
    EXPECT_EQ(display.contradictedButtons, std::vector<int>{2});
    EXPECT_EQ(display.toolbar[1].picture, kb.dataDir() + "robot\\CONTRA\\aile.ico");

    ASSERT_TRUE(engine.openQuestion("AILE"));  // changing the wing answer clears the legs
    engine.question().SelectedChoice = 1;
    engine.Valid_Descripteur();
    EXPECT_EQ(engine.state().StateChoice, (std::vector<platform::i16>{0, 1, 0, 0, 0}));
    EXPECT_EQ(engine.state().FrameState, (std::vector<platform::i16>{-1, -1}));
}

}  // namespace
