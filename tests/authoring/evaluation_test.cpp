#include "authoring/evaluation/effort.h"
#include "authoring/evaluation/evaluationreport.h"
#include "authoring/evaluation/keymatrix.h"
#include "authoring/evaluation/separation.h"
#include "authoring/evaluation/speciescomparison.h"
#include "support/testkb.h"

#include "kb/loader.h"

#include <gtest/gtest.h>

using authoring::KeyMatrix;
using testing_support::TestKb;

namespace {

// Five species over three questions, written to disk and loaded as the program loads them:
//   SIZE (small, large)       A, B small; C, D large; E both (every state: uncoded)
//   COLOUR (red, blue, green) A, B, C red; D blue; E blue and green
//   SHAPE (round, flat)       all round: it separates nothing
// A and B are coded alike; D and E differ only where E is uncoded or overlaps D.
struct SmallKey : ::testing::Test {
    TestKb kb;
    kb::Model model;
    engine::KeyTables tables;

    void SetUp() override {
        kb.parameters["Nb_Esp"] = "5";
        kb.parameters["Nb_Etats_Desc"] = "7";
        kb.colourCodes = {"SIZE", "COLOUR"};
        kb.stateCodes = {"S1", "S2", "C1", "C2", "C3", "H1", "H2"};
        kb.stateTips = {"small", "large", "red", "blue", "green", "round", "flat"};
        kb.flora = {{"SPAAA", "Alpha a", "ONEIDAE"},
                    {"SPBBB", "Beta b", "ONEIDAE"},
                    {"SPCCC", "Gamma c", "TWOIDAE"},
                    {"SPDDD", "Delta d", "TWOIDAE"},
                    {"SPEEE", "Epsilon e", "TWOIDAE"}};
        kb.commonNames = {{"English", "Alpha fly", "SPAAA"}};
        kb.objects = {{"SIZE", 1, 2, 0, 2, 0, 0, "Size", "size.bmp", true},
                      {"COLOUR", 1, 3, 2, 3, 1, 1, "Colour", "colour.bmp", true},
                      {"SHAPE", 1, 2, 5, 2, -1, 2, "Shape", "shape.bmp", true}};
        kb.weights = {1, 1, 1, 1, 1, 1, 1};
        kb.matrix = {1, 1, 0, 0, 1,   // small
                     0, 0, 1, 1, 1,   // large
                     1, 1, 1, 0, 0,   // red
                     0, 0, 0, 1, 1,   // blue
                     0, 0, 0, 0, 1,   // green
                     1, 1, 1, 1, 1,   // round
                     0, 0, 0, 0, 0};  // flat
        kb.write();
        const auto result = kb::loadKnowledgeBase(model, kb.options());
        ASSERT_TRUE(result.ok()) << result.detail.toStdString();
        tables = engine::KeyTables::fromModel(model);
    }
};

enum { A, B, C, D, E };
enum { Colour, Shape, Size };  // questions in key order

TEST_F(SmallKey, InseparableSpeciesFragilePairsAndIdleQuestionsAreEachFoundWhereTheyAre) {
    const KeyMatrix m(model, tables);
    EXPECT_FALSE(m.coded(Size, E));  // every state shown
    EXPECT_TRUE(m.coded(Colour, E));
    const auto r = authoring::analyseSeparation(m);
    EXPECT_TRUE(r.complete);
    // E is uncoded for SIZE and shares blue with D: nothing separates them.
    ASSERT_EQ(r.groups, (std::vector<std::vector<int>>{{A, B}, {D, E}}));
    EXPECT_EQ(r.groupIsWhole, (std::vector<bool>{true, true}));
    // A and B agree everywhere; D and E show different colours that overlap.
    EXPECT_TRUE(r.closest[0].empty());
    EXPECT_EQ(r.closest[1], (std::vector<int>{Colour, Size}));

    std::vector<std::tuple<int, int, int>> fragile;
    for (const auto& f : r.fragile) fragile.emplace_back(f.a, f.b, f.question);
    EXPECT_EQ(fragile, (std::vector<std::tuple<int, int, int>>{{A, C, Size},
                                                               {A, E, Colour},
                                                               {B, C, Size},
                                                               {B, E, Colour},
                                                               {C, D, Colour},
                                                               {C, E, Colour}}));
    EXPECT_EQ(r.pairsSeparated, (std::vector<std::int64_t>{6, 0, 4}));
    EXPECT_EQ(r.codedSpecies, (std::vector<int>{5, 5, 4}));
}

TEST_F(SmallKey, EffortFollowsTheProgramsSearchAnsweringWithEachSpeciesFirstState) {
    const KeyMatrix m(model, tables);
    const auto e = authoring::simulateEffort(model, tables, m);
    // COLOUR is proposed first (the more even split), then SIZE. C is alone after both; E,
    // answering "blue" then "small" (its first size), is alone too; A and B stay together,
    // and D stays with E, who shows "large" as well.
    EXPECT_EQ(e.answers, (std::vector<int>{-1, -1, 2, -1, 2}));
    EXPECT_EQ(e.reached, 2);
    EXPECT_DOUBLE_EQ(e.mean, 2.0);
    EXPECT_EQ(e.worst, C);
    EXPECT_EQ(e.distribution, (std::map<int, int>{{2, 2}}));
    EXPECT_FALSE(e.sampled);

    // Beyond the limit every step-th species is simulated.
    const auto sampled = authoring::simulateEffort(model, tables, m, {3});
    EXPECT_TRUE(sampled.sampled);
    EXPECT_EQ(sampled.species, (std::vector<int>{A, C, E}));
    EXPECT_EQ(sampled.answers, (std::vector<int>{-1, 2, 2}));
}

TEST_F(SmallKey, TheReportNamesEachFindingInItsSectionAndEscapesBaseText) {
    kb.flora[0].name = "Alpha <b>a</b>";
    kb.write();
    ASSERT_TRUE(kb::loadKnowledgeBase(model, kb.options()).ok());
    tables = engine::KeyTables::fromModel(model);
    const KeyMatrix m(model, tables);
    authoring::Evaluation e{authoring::analyseSeparation(m),
                            authoring::simulateEffort(model, tables, m)};
    const QString text = authoring::evaluationText(m, e);
    EXPECT_TRUE(
        text.contains("Taxa the key cannot separate: 2\n"
                      "  Alpha <b>a</b> (SPAAA), Beta b (SPBBB)\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Gamma c (SPCCC) / Delta d (SPDDD): only COLOUR \"Colour\"\n"));
    EXPECT_TRUE(
        text.contains("Questions that separate nothing: 1\n"
                      "  SHAPE \"Shape\": the species coded for it share its states\n"));
    EXPECT_TRUE(text.contains("mean answers: 2.00\n"));
    const QString html = authoring::evaluationHtml(m, e, "Evaluation");
    EXPECT_FALSE(html.contains("<b>a</b>"));
    EXPECT_TRUE(html.contains("Alpha &lt;b&gt;a&lt;/b&gt; (SPAAA)"));
}

}  // namespace

namespace {

TEST_F(SmallKey, AComparisonMarksTheCellsThatDifferAndKeepsTheAgreeingRowsApart) {
    const KeyMatrix m(model, tables);
    // A, B and D: D differs in colour and size, A and B are the majority.
    const auto c = authoring::compareSpecies(m, {A, B, D});
    ASSERT_EQ(c.differing.size(), 2u);
    EXPECT_EQ(c.differing[0].question, Colour);
    EXPECT_EQ(c.differing[0].cells, (std::vector<QString>{"red", "red", "blue"}));
    EXPECT_EQ(c.differing[0].marked, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(c.differing[0].separates);
    EXPECT_EQ(c.differing[1].question, Size);
    ASSERT_EQ(c.agreeing.size(), 1u);
    EXPECT_EQ(c.agreeing[0].question, Shape);
    EXPECT_EQ(c.agreeing[0].marked, (std::vector<bool>{false, false, false}));

    // Two species that differ only where one is uncoded or overlaps: both cells marked, and
    // nothing separates them.
    const auto de = authoring::compareSpecies(m, {D, E});
    ASSERT_EQ(de.differing.size(), 2u);
    EXPECT_EQ(de.differing[0].cells, (std::vector<QString>{"blue", "blue; green"}));
    EXPECT_EQ(de.differing[0].marked, (std::vector<bool>{true, true}));
    EXPECT_FALSE(de.differing[0].separates);
    EXPECT_EQ(de.differing[1].cells, (std::vector<QString>{"large", "any state"}));

    const QString text = authoring::comparisonText(m, de, false);
    EXPECT_TRUE(text.contains("COLOUR \"Colour\"\n  * Delta d: blue\n  * Epsilon e: blue; green\n"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("SHAPE"));
    EXPECT_TRUE(authoring::comparisonText(m, de, true).contains("SHAPE \"Shape\"\n"));
}

TEST_F(SmallKey, AComparisonPageShowsBaseTextAsText) {
    kb.stateTips[2] = "<script>red</script>";
    kb.write();
    ASSERT_TRUE(kb::loadKnowledgeBase(model, kb.options()).ok());
    tables = engine::KeyTables::fromModel(model);
    const KeyMatrix m(model, tables);
    const QString html = authoring::comparisonHtml(m, authoring::compareSpecies(m, {A, D}), true);
    EXPECT_FALSE(html.contains("<script>"));
    EXPECT_TRUE(html.contains("<td class=\"differs\">&lt;script&gt;red&lt;/script&gt;</td>"))
        << html.toStdString();
}

}  // namespace

namespace {

// A species that shows none of the states of a proposed question skips it, as a user who
// cannot answer would, and Search goes on with the next question.
TEST(Effort, ASpeciesSkipsAQuestionItShowsNoStateOf) {
    TestKb kb;
    kb.parameters["Nb_Etats_Desc"] = "4";
    kb.stateCodes = {"A1", "A2", "P1", "P2"};
    kb.objects[1].stateCount = 2;
    kb.weights = {1, 1, 1, 1};
    // AILE: X a1, Y a2, Z neither; PATTE: X and Y p1, Z p2. AILE splits more evenly and is
    // proposed first.
    kb.matrix = {1, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1};
    kb.write();
    kb::Model model;
    ASSERT_TRUE(kb::loadKnowledgeBase(model, kb.options()).ok());
    const auto tables = engine::KeyTables::fromModel(model);
    const KeyMatrix m(model, tables);
    const auto e = authoring::simulateEffort(model, tables, m);
    EXPECT_EQ(e.answers, (std::vector<int>{1, 1, 1}));
}

}  // namespace
