#include "engine/engine.h"
#include "engine/questionlist.h"
#include "kb/basetexts.h"
#include "kb/loader.h"
#include "support/scripteddialogs.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// The default test base with its questions grouped and texts in French for some of what it
// shows: the rest must stay in the base's own English.
class TableTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        base.stateTips = {"Clear", "Dark", "Black", "Pale", "Red"};
        base.write();
        base.exec(R"(CREATE TABLE "Groupes" ("Objet" TEXT PRIMARY KEY, "Groupe" TEXT,
                     "Ordre" INTEGER);
                     INSERT INTO "Groupes" VALUES ('AILE', 'Wings', 1), ('PATTE', 'Legs', 2);
                     CREATE TABLE "Textes" ("Numero" INTEGER PRIMARY KEY, "Langue" TEXT,
                     "Sorte" TEXT, "Cle" TEXT, "Texte" TEXT);
                     INSERT INTO "Textes" VALUES
                       (1, 'fr', 'Question', 'AILE', 'Ailes'),
                       (2, 'fr', 'Etat', 'A2', 'Sombres'),
                       (3, 'fr', 'Etat', 'P1', 'Noires'),
                       (4, 'fr', 'Groupe', 'Wings', 'Ailes et nervures'),
                       (5, 'fr', 'Caption', '2', 'Ailes'),
                       (6, 'fr', 'TipText', '2', 'Couleur des ailes'))");
        ASSERT_TRUE(kb::loadKnowledgeBase(model, base.options()).ok());
        texts = kb::BaseTexts::load(model.KnowledgeBase);
        engine = std::make_unique<engine::Engine>(model, engine::KeyTables::fromModel(model),
                                                  dialogs, testing_support::englishText);
        engine->Nettoye();
        engine->Actualise_Identification();
    }

    // What the questions panel lists: "group: question [states]" per question.
    QStringList listed() const {
        QStringList out;
        for (const auto& section : engine::questionSections(engine->tables(), engine->state()))
            for (const auto& e : section.entries)
                out << section.group + ": " + e.text + " [" + e.stateTexts.join("|") + "]";
        return out;
    }

    testing_support::TestKb base;
    kb::Model model;
    kb::BaseTexts texts;
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<engine::Engine> engine;
};

TEST_F(TableTextsTest, TheListedTextsFollowTheLanguageAndComeBack) {
    const QStringList english = listed();
    EXPECT_EQ(english, (QStringList{"Wings: Wings [Clear|Dark]", "Legs: Legs [Black|Pale|Red]"}));
    engine->setTextLanguage(texts, "fr");
    EXPECT_EQ(listed(), (QStringList{"Ailes et nervures: Ailes [Clear|Sombres]",
                                     "Legs: Legs [Noires|Pale|Red]"}))
        << "each text missing in French stays English";
    ASSERT_TRUE(engine->tables().deterButtons[1]);
    EXPECT_EQ(engine->tables().deterButtons[1]->caption, "Ailes");
    EXPECT_EQ(engine->tables().deterButtons[1]->tipText, "Couleur des ailes");
    EXPECT_EQ(engine->tables().deterButtons[0]->caption, "Search");
    engine->setTextLanguage(texts, "es");
    EXPECT_EQ(listed(), english) << "a language the base lacks shows its own texts";
    engine->setTextLanguage(texts, "fr");
    engine->setTextLanguage(texts, "en");
    EXPECT_EQ(listed(), english);
}

TEST_F(TableTextsTest, TheOpenQuestionFollowsAndTheRankingNeverChanges) {
    const QStringList before = engine->listLines();
    ASSERT_TRUE(engine->openQuestion("AILE"));
    EXPECT_EQ(engine->question().ObjectTipText, "Wings");
    engine->setTextLanguage(texts, "fr");
    EXPECT_EQ(engine->question().ObjectTipText, "Ailes");
    engine->question().SelectedChoice = 1;
    engine->Valid_Descripteur();
    engine->Actualise_Identification();
    const QStringList french = engine->listLines();
    engine->setTextLanguage(texts, "en");
    engine->Actualise_Identification();
    EXPECT_EQ(engine->listLines(), french);
    EXPECT_NE(french, before);
}

}  // namespace
