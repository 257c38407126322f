#include "support/importdatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using testing_support::runTool;
using testing_support::ToolRun;

namespace {

ToolRun vkb(const QStringList& args) {
    return runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

// Rows of a query on a base, one line each, fields joined by "|".
QStringList rows(const QString& database, const QString& sql) {
    QStringList out;
    sqlite3* db = nullptr;
    if (sqlite3_open(database.toUtf8().constData(), &db) != SQLITE_OK) return out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList fields;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                fields << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            out << fields.join('|');
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

void execute(const QString& database, const QString& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// The small key without a drawing, with texts blocks appended to its source.
QString sourceWith(const QTemporaryDir& dir, const QByteArray& texts) {
    QFile original(QStringLiteral(VIREKA_NODRAWING_SOURCE "/kb.txt"));
    EXPECT_TRUE(original.open(QIODevice::ReadOnly));
    testing_support::writeFile(dir.filePath("kb.txt"), original.readAll() + "\n" + texts);
    return dir.path();
}

TEST(KbTexts, TheDemoAnswersInFrenchAndSpanishWithTheSameRanking) {
    const QString demo = QStringLiteral(VIREKA_DEMO_KB);
    const QStringList base{"--data", demo, "--base", "vireka.db"};
    const ToolRun fr = vkb(QStringList{"best"} + base + QStringList{"--language", "fr"});
    ASSERT_EQ(fr.exitCode, 0) << fr.err.toStdString();
    EXPECT_EQ(fr.out, "SUBORDER\tSous-ordre : ailes et yeux\n");
    const ToolRun es = vkb(QStringList{"best"} + base + QStringList{"--language", "es"});
    EXPECT_EQ(es.out, "SUBORDER\tSuborden: alas y ojos\n");
    const ToolRun plain = vkb(QStringList{"best"} + base);
    EXPECT_EQ(plain.out, "SUBORDER\n") << "without --language the output is as it was";

    const ToolRun rankEn = vkb(QStringList{"rank"} + base);
    const ToolRun rankFr = vkb(QStringList{"rank"} + base + QStringList{"--language", "fr"});
    ASSERT_EQ(rankFr.exitCode, 0) << rankFr.err.toStdString();
    QStringList en = rankEn.out.split('\n'), french = rankFr.out.split('\n');
    ASSERT_EQ(en.size(), french.size());
    EXPECT_NE(en.end()[-2], french.end()[-2]) << "the legend is said in French";
    en.removeAt(en.size() - 2), french.removeAt(french.size() - 2);
    EXPECT_EQ(en, french) << "the species and their order never change";

    // Every question and state of the demo has its text in both languages, and a picture of
    // choices drawn in each.
    const QString db = QDir(demo).filePath("vireka.db");
    EXPECT_EQ(rows(db, "SELECT COUNT(*) FROM Textes WHERE Langue='fr' AND Sorte='Question'"),
              QStringList{"23"});
    EXPECT_EQ(rows(db, "SELECT COUNT(*) FROM Textes WHERE Langue='es' AND Sorte='Etat'"),
              rows(db, "SELECT COUNT(*) FROM Caracteres"));
    EXPECT_TRUE(QFile::exists(QDir(demo).filePath("choices/wing_mark_es.png")));
    EXPECT_TRUE(QFile::exists(QDir(demo).filePath("choices/wing_mark_fr.png")));
    EXPECT_TRUE(QFile::exists(QDir(demo).filePath("choices/wing_mark.png")));
}

TEST(KbTexts, TheSourceGivesWhatItTranslatesAndTheRestFallsBack) {
    QTemporaryDir source, out;
    QString err;
    sourceWith(source,
               "texts fr\n"
               "  title \"Coccinelles\"\n"
               "  question ELYTRA \"Couleur des élytres\"\n"
               "  state EL_RED \"Rouges\"\n"
               "  button question 1 \"Valider\"\n"
               "texts de\n"
               "  question SPOTS \"Punkte\"\n");
    const ToolRun r = vkb({"build", "--no-page-pictures", source.path(), out.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString db = QDir(out.path()).filePath("vireka.db");
    EXPECT_EQ(rows(db, "SELECT Langue, Sorte, Cle, Texte FROM Textes ORDER BY Numero"),
              (QStringList{"fr|Titre||Coccinelles", "fr|Question|ELYTRA|Couleur des élytres",
                           "fr|Etat|EL_RED|Rouges", "fr|Caption|Q1|Valider",
                           "fr|TipText|Q1|Valider", "de|Question|SPOTS|Punkte"}));
    EXPECT_TRUE(QFile::exists(QDir(out.path()).filePath("choices/elytra_fr.png")));
    EXPECT_FALSE(QFile::exists(QDir(out.path()).filePath("choices/elytra_de.png")))
        << "no label of it is worded otherwise in German";

    // The base declares French and German: each text one gives and the other lacks is said.
    const ToolRun check = vkb({"check", "--data", out.path(), "--base", "vireka.db"});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_TRUE(check.out.contains("Textes: no 'de' text for Question 'ELYTRA', which fr gives"))
        << check.out.toStdString();
    EXPECT_TRUE(check.out.contains("Textes: no 'fr' text for Question 'SPOTS', which de gives"));
    EXPECT_TRUE(check.out.contains("no 'de' text for Titre, which fr gives"));
}

TEST(KbTexts, CheckFindsAMissingTranslationAndBadRows) {
    QTemporaryDir out;
    const QString demo = QStringLiteral(VIREKA_DEMO_KB);
    for (const char* name : {"vireka.db", "POIDS.DAT", "MATRICE.DAT"})
        ASSERT_TRUE(QFile::copy(QDir(demo).filePath(name), QDir(out.path()).filePath(name)));
    const QStringList args{"check", "--data", out.path(), "--base", "vireka.db"};
    const ToolRun clean = vkb(args);
    EXPECT_FALSE(clean.out.contains("Textes")) << clean.out.toStdString();
    const QString db = QDir(out.path()).filePath("vireka.db");
    execute(db,
            "DELETE FROM Textes WHERE Langue='es' AND Sorte='Etat' AND Cle='EC_RED';"
            "INSERT INTO Textes VALUES (9001, 'fr', 'Legende', 'EYES', 'x'),"
            "(9002, 'fr', 'Etat', 'NO_SUCH', 'x'), (9003, 'fr', 'Caption', 'Q9', 'x'),"
            "(9004, 'es', 'Groupe', 'Nowhere', 'x'), (9005, NULL, 'Etat', 'EC_RED', 'x')");
    const ToolRun r = vkb(args);
    EXPECT_EQ(r.exitCode, 1);
    for (const char* finding :
         {"Textes: no 'es' text for Etat 'EC_RED', which fr gives",
          "Textes row 9001: unknown kind 'Legende'", "Textes row 9002: no state 'NO_SUCH'",
          "Textes row 9003: no button 'Q9'", "Textes row 9004: no group 'Nowhere'",
          "Textes row 9005: no language"})
        EXPECT_TRUE(r.out.contains(QLatin1String(finding))) << finding << "\n"
                                                            << r.out.toStdString();
}

TEST(KbTexts, ATextThatNamesNothingOrComesTwiceStopsTheBuild) {
    const struct {
        QByteArray texts;
        const char* message;
    } cases[] = {
        {"texts fr\n  state NO_SUCH \"x\"\n", "no state 'NO_SUCH'"},
        {"texts fr\n  question ELYTRA \"a\"\n  question elytra \"b\"\n", "already given"},
        {"texts fr\n  group \"Nothing\" \"Rien\"\n", "no question in group 'Nothing'"},
        {"texts fr\n  button deter NOKEY \"x\"\n", "no character-toolbar button"},
        {"texts ../x\n", "expected: texts LANG"},
        {"texts fr\n  question ELYTRA \"a\" tip \"b\"\n", "expected: question KEY \"text\""},
    };
    for (const auto& c : cases) {
        QTemporaryDir source, out;
        sourceWith(source, c.texts);
        const ToolRun r = vkb({"build", "--no-page-pictures", source.path(), out.path()});
        EXPECT_EQ(r.exitCode, 1) << c.message;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << r.err.toStdString();
    }
}

TEST(KbTexts, AnSddFileInTwoLanguagesImportsBoth) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    testing_support::writeFile(
        dir.filePath("two.sdd.xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"><Dataset xml:lang=\"en\">"
        "<Representation><Label>Two gulls</Label><Label xml:lang=\"nl\">Twee meeuwen</Label>"
        "</Representation><TaxonNames>"
        "<TaxonName id=\"t1\"><Representation><Label>Larus canus</Label></Representation>"
        "</TaxonName><TaxonName id=\"t2\"><Representation><Label>Larus fuscus</Label>"
        "</Representation></TaxonName></TaxonNames><Characters>"
        "<CategoricalCharacter id=\"legs\"><Representation><Label>Leg colour</Label>"
        "<Label xml:lang=\"nl\">Kleur van de poten</Label></Representation><States>"
        "<StateDefinition id=\"yellow\"><Representation><Label xml:lang=\"nl\">geel</Label>"
        "<Label>yellow</Label></Representation></StateDefinition>"
        "<StateDefinition id=\"green\"><Representation><Label>greenish</Label>"
        "</Representation></StateDefinition></States></CategoricalCharacter>"
        "</Characters><CodedDescriptions>"
        "<CodedDescription id=\"d1\"><Scope><TaxonName ref=\"t1\"/></Scope><SummaryData>"
        "<Categorical ref=\"legs\"><State ref=\"green\"/></Categorical></SummaryData>"
        "</CodedDescription><CodedDescription id=\"d2\"><Scope><TaxonName ref=\"t2\"/></Scope>"
        "<SummaryData><Categorical ref=\"legs\"><State ref=\"yellow\"/></Categorical>"
        "</SummaryData></CodedDescription></CodedDescriptions></Dataset></Datasets>\n");
    const ToolRun r = vkb({"import", "sdd", dir.filePath("two.sdd.xml"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
    const QString db = QDir(out).filePath("vireka.db");
    EXPECT_EQ(rows(db, "SELECT Etat FROM Parametres WHERE Parametre='Titre'"),
              QStringList{"Two gulls"})
        << "the dataset's own language stays the base's";
    EXPECT_EQ(rows(db, "SELECT TipText FROM Objets_Fic"), QStringList{"Leg colour"});
    EXPECT_EQ(
        rows(db, "SELECT Langue, Sorte, Texte FROM Textes ORDER BY Numero"),
        (QStringList{"nl|Titre|Twee meeuwen", "nl|Question|Kleur van de poten", "nl|Etat|geel"}));
    const ToolRun nl = vkb({"best", "--data", out, "--base", "vireka.db", "--language", "nl"});
    EXPECT_TRUE(nl.out.contains("Kleur van de poten")) << nl.out.toStdString();

    // Read in Dutch, English becomes the other language.
    const QString outNl = dir.filePath("nl");
    const ToolRun d =
        vkb({"import", "sdd", dir.filePath("two.sdd.xml"), outNl, "--language", "nl"});
    ASSERT_EQ(d.exitCode, 0) << d.err.toStdString();
    const QString dbNl = QDir(outNl).filePath("vireka.db");
    EXPECT_EQ(rows(dbNl, "SELECT TipText FROM Objets_Fic"), QStringList{"Kleur van de poten"});
    EXPECT_TRUE(rows(dbNl, "SELECT Texte FROM Textes WHERE Langue='en' AND Sorte='Etat'")
                    .contains("yellow"));
}

TEST(KbTexts, ADeltaImportAndAKeyInOneLanguageHaveNoTextTable) {
    QTemporaryDir dir;
    testing_support::writeDeltaGrasses(dir.filePath("delta"));
    const ToolRun r = vkb({"import", "delta", dir.filePath("delta"), dir.filePath("out")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(rows(QDir(dir.filePath("out")).filePath("vireka.db"),
                     "SELECT name FROM sqlite_master WHERE name='Textes'")
                    .isEmpty());
    QTemporaryDir out;
    ASSERT_EQ(vkb({"build", "--no-page-pictures", VIREKA_NODRAWING_SOURCE, out.path()}).exitCode,
              0);
    EXPECT_TRUE(rows(QDir(out.path()).filePath("vireka.db"),
                     "SELECT name FROM sqlite_master WHERE name='Textes'")
                    .isEmpty());
    const ToolRun best =
        vkb({"best", "--data", out.path(), "--base", "vireka.db", "--language", "fr"});
    EXPECT_EQ(best.exitCode, 0);
    EXPECT_FALSE(best.out.isEmpty());
}

}  // namespace
