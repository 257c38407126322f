#include "kb/basetexts.h"
#include "kb/database.h"
#include "support/testkb.h"

#include <gtest/gtest.h>

namespace {

using Kind = kb::BaseTexts::Kind;

const char* const kTable =
    R"(CREATE TABLE "Textes" ("Numero" INTEGER PRIMARY KEY, "Langue" TEXT, "Sorte" TEXT,
       "Cle" TEXT, "Texte" TEXT); CREATE INDEX "Textes_Langue" ON "Textes" ("Langue");)";

class BaseTextsTest : public ::testing::Test {
protected:
    kb::BaseTexts load(QString* error = nullptr) {
        EXPECT_TRUE(db.open(base.databasePath())) << db.errorString().toStdString();
        return kb::BaseTexts::load(db, error);
    }
    testing_support::TestKb base;
    kb::Database db;
};

TEST_F(BaseTextsTest, EachTextInItsLanguageAndTheBaseOwnWhereALanguageLacksIt) {
    base.write();
    base.exec(kTable);
    base.exec(R"(INSERT INTO "Textes" VALUES
        (1, 'fr', 'Question', 'aile', 'Ailes'),
        (2, 'FR', 'Etat', 'A1', 'Hyalines'),
        (3, 'es', 'Question', 'AILE', 'Alas'),
        (4, 'fr', 'Caption', 'Q1', 'Valider'),
        (5, 'fr', 'Caption', '1', 'Chercher'),
        (6, 'fr', 'Question', 'AILE', 'Second'),
        (7, 'fr', 'Titre', NULL, 'Deux mouches'),
        (8, 'de', 'Legende', 'AILE', 'Flügel'),
        (9, 'fr', 'Groupe', 'Head', 'Tête'),
        (10, 'es', 'Etat', 'A1', NULL))");
    QString error;
    const kb::BaseTexts texts = load(&error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(texts.text("fr", Kind::Question, "AILE", "Wings"), "Ailes")
        << "keys compare without case; the first row of a key wins";
    EXPECT_EQ(texts.text("es", Kind::Question, "aile", "Wings"), "Alas");
    EXPECT_EQ(texts.text("fr", Kind::State, "a1", "Clear"), "Hyalines") << "languages too";
    EXPECT_EQ(texts.text("es", Kind::State, "A1", "Clear"), "Clear") << "an empty text is none";
    EXPECT_EQ(texts.text("fr", Kind::Question, "PATTE", "Legs"), "Legs");
    EXPECT_EQ(texts.text("it", Kind::Question, "AILE", "Wings"), "Wings");
    EXPECT_EQ(texts.text("fr", Kind::Caption, "Q1", "OK"), "Valider");
    EXPECT_EQ(texts.text("fr", Kind::Caption, "1", "Search"), "Chercher");
    EXPECT_EQ(texts.text("fr", Kind::TipText, "1", "Search"), "Search")
        << "a caption is not a tip, and the question toolbar's Q1 is not row 1";
    EXPECT_EQ(texts.text("fr", Kind::Title, "", "Two flies"), "Deux mouches");
    EXPECT_EQ(texts.text("fr", Kind::Group, "Head", "Head"), "Tête");
    EXPECT_FALSE(texts.find("de", Kind::Question, "AILE")) << "an unknown kind is never shown";
    EXPECT_EQ(texts.rows().size(), 10u) << "but kept for checking";
    EXPECT_EQ(texts.languages(), (QStringList{"es", "fr"}));
}

TEST_F(BaseTextsTest, ABaseWithoutTheTableOrWithAStrangeOneShowsItsOwnTexts) {
    base.write();
    QString error = "stale";
    const kb::BaseTexts none = load(&error);
    EXPECT_TRUE(none.isEmpty());
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(none.text("fr", Kind::Question, "AILE", "Wings"), "Wings");
    db.close();
    base.exec(R"(CREATE TABLE "Textes" ("Numero" INTEGER PRIMARY KEY, "Mot" TEXT))");
    const kb::BaseTexts strange = load(&error);
    EXPECT_TRUE(strange.isEmpty());
    EXPECT_FALSE(error.isEmpty()) << "a table without its fields is said, never read";
}

TEST(BaseTextsNames, APictureInALanguageIsNamedBesideTheBaseOwn) {
    EXPECT_EQ(kb::BaseTexts::languageFileName("wings.png", "fr"), "wings_fr.png");
    EXPECT_EQ(kb::BaseTexts::languageFileName("sub/wings.tar.png", "ES"), "sub/wings.tar_es.png");
    EXPECT_EQ(kb::BaseTexts::languageFileName("wings", "fr"), "wings_fr");
    EXPECT_EQ(kb::BaseTexts::languageFileName("v.1/wings", "fr"), "v.1/wings_fr");
    EXPECT_EQ(kb::BaseTexts::buttonKey(true, 2), "Q2");
    EXPECT_EQ(kb::BaseTexts::buttonKey(false, 12), "12");
    EXPECT_EQ(kb::BaseTexts::languageOfCode(2), "fr");
    EXPECT_EQ(kb::BaseTexts::languageOfCode(1), "es");
    EXPECT_EQ(kb::BaseTexts::languageOfCode(-1), "en");
}

}  // namespace
