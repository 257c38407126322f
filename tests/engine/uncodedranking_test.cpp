// The record of uncoded cells read from a real base: ties at one percentage put the species
// described for the answers first, lines resting on unknowns say so, and rows the base cannot
// place change nothing.
#include "engine/engine.h"
#include "engine/keytables.h"
#include "kb/loader.h"
#include "kb/model.h"
#include "support/scripteddialogs.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// The default test base (Alpha alpha, Beta beta, Gamma gamma; AILE A1 A2, PATTE P1 P2 P3)
// with Alpha never described for AILE: it shows both wings. Gamma shows A1.
class UncodedRanking : public ::testing::Test {
protected:
    void SetUp() override { base.matrix[1 * 3 + 0] = 1; }
    void open(const QStringList& uncodedRows) {
        base.write();
        for (const QString& sql : uncodedRows) base.exec(sql);
        const auto result = kb::loadKnowledgeBase(model, base.options());
        ASSERT_TRUE(result.ok()) << result.detail.toStdString();
        engine = std::make_unique<engine::Engine>(model, engine::KeyTables::fromModel(model),
                                                  dialogs, [](int k) -> std::optional<QString> {
                                                      if (k == 1500)
                                                          return QStringLiteral("species at");
                                                      if (k == 1870)
                                                          return QStringLiteral("unknown");
                                                      if (k == 1871)
                                                          return QStringLiteral("fully described");
                                                      return std::nullopt;
                                                  });
    }
    QStringList rankAfter(std::initializer_list<int> states) {
        for (int j : states) engine->state().StateChoice[size_t(j)] = 1;
        engine->Actualise_Identification();
        return engine->listLines() << engine->legend();
    }
    static QString table() {
        return QStringLiteral(
            "CREATE TABLE Non_Codes (Numero INTEGER PRIMARY KEY, Espece TEXT COLLATE NOCASE, "
            "Objet TEXT COLLATE NOCASE)");
    }

    testing_support::TestKb base;
    kb::Model model;
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<engine::Engine> engine;
};

TEST_F(UncodedRanking, WithoutTheRecordTiesKeepSpeciesOrder) {
    open({});
    EXPECT_EQ(rankAfter({0}), (QStringList{" 100% - Alpha alpha", " 100% - Gamma gamma",
                                           " 0% - Beta beta", " 2 species at 100 %"}));
}

TEST_F(UncodedRanking, TheDescribedSpeciesLeadsAndTheOtherIsMarked) {
    // Names and keys in another case; a row repeated; rows naming nothing the base holds.
    open({table(), "INSERT INTO Non_Codes VALUES (1, 'ALPHA ALPHA', 'aile')",
          "INSERT INTO Non_Codes VALUES (2, 'Alpha alpha', 'AILE')",
          "INSERT INTO Non_Codes VALUES (3, 'Nobody', 'AILE')",
          "INSERT INTO Non_Codes VALUES (4, 'Beta beta', 'NOQUESTION')",
          "INSERT INTO Non_Codes VALUES (5, NULL, 'PATTE')"});
    // Before any answer nothing is marked.
    EXPECT_EQ(rankAfter({}).last(), " 3 species at 0 %");
    EXPECT_EQ(rankAfter({0}),
              (QStringList{" 100% - Gamma gamma", " 100% - Alpha alpha (1 unknown)",
                           " 0% - Beta beta", " 2 species at 100 % (1 fully described)"}));
    EXPECT_EQ(engine->speciesOfLine(0), 2);
    // A second answer that Alpha codes: still one unknown, and now it leads alone.
    EXPECT_EQ(rankAfter({2}),
              (QStringList{" 100% - Alpha alpha (1 unknown)", " 50% - Gamma gamma",
                           " 0% - Beta beta", " 1 species at 100 % (0 fully described)"}));
}

TEST_F(UncodedRanking, ARecordWithoutItsColumnsMarksNothing) {
    open({"CREATE TABLE Non_Codes (Numero INTEGER PRIMARY KEY, Nom TEXT)",
          "INSERT INTO Non_Codes VALUES (1, 'Alpha alpha')"});
    EXPECT_EQ(rankAfter({0}),
              (QStringList{" 100% - Alpha alpha", " 100% - Gamma gamma", " 0% - Beta beta",
                           " 2 species at 100 % (2 fully described)"}));
}

}  // namespace
