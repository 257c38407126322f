#include "kb/loader.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>

using kb::Checkpoint;
using testing_support::TestKb;

namespace {

kb::LoadResult loadResult(const TestKb& base) {
    kb::Model m;
    return kb::loadKnowledgeBase(m, base.options());
}

// A failure before the weights are opened stops there, with the weights' path as the message
// and the real cause in the detail.
void expectStopsAtWeights(const TestKb& base, const char* detailHas) {
    const kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::WeightsOpen);
    EXPECT_EQ(r.message, base.dataDir() + "POIDS.DAT");
    EXPECT_TRUE(r.detail.contains(QLatin1String(detailHas))) << r.detail.toStdString();
    EXPECT_TRUE(r.inTables) << "the tables' fault is what the window shows";
}

}  // namespace

TEST(Checkpoints, ADatabaseThatIsNotSQLiteStopsWithItsPathAndErrorNumber) {
    TestKb base;
    base.write();
    base.writeFile("kb.sqlite", QByteArray(2048, 'z'));
    const kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::Database);
    EXPECT_EQ(r.message, base.databasePath() + ", Erreur N° 26");
}

TEST(Checkpoints, AMissingDatabaseStopsAtTheDatabase) {
    TestKb base;
    const kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::Database);
    EXPECT_TRUE(r.message.startsWith(base.databasePath() + ", Erreur N° "))
        << r.message.toStdString();
}

// A pipe would block the open, a device never end: each is named for what it is, and none
// is reported missing.
TEST(Checkpoints, ADatabaseThatIsAPipeADeviceOrAFolderIsNamedForWhatItIs) {
    TestKb base;
    base.write();
    QFile::remove(base.databasePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(base.databasePath()).constData(), 0600), 0);
    const QString folder = base.dataDir() + "folder.sqlite";
    ASSERT_TRUE(QDir().mkdir(folder));
    const struct {
        QString path, says;
    } cases[] = {{base.databasePath(), "is a pipe"},
                 {QStringLiteral("/dev/zero"), "is a device"},
                 {folder, "is a folder"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        kb::Model m;
        kb::LoadOptions options = base.options();
        options.databasePath = c.path;
        const kb::LoadResult r = kb::loadKnowledgeBase(m, options);
        EXPECT_EQ(r.failedAt, Checkpoint::Database);
        EXPECT_TRUE(r.message.startsWith(c.path + ", Erreur N° ")) << r.message.toStdString();
        EXPECT_TRUE(r.detail.contains(c.says)) << r.detail.toStdString();
        EXPECT_FALSE(r.detail.contains("does not exist")) << r.detail.toStdString();
    }
    QFile::remove(base.databasePath());
    EXPECT_TRUE(loadResult(base).detail.contains("does not exist"));
}

TEST(Checkpoints, AMissingCountRowStopsAtTheWeightsAndSaysWhich) {
    TestKb base;
    base.write();
    base.exec("DELETE FROM Parametres WHERE Nom = 'Nb_Esp';");
    expectStopsAtWeights(base, "Nb_Esp");
}

TEST(Checkpoints, AZeroCountStopsAtTheWeights) {
    TestKb base;
    base.parameters["Nb_Cadre"] = "0";
    base.write();
    expectStopsAtWeights(base, "Nb_Cadre");
}

// "Nb_Robot" 0 says the key has no drawing; a missing row is still an error.
TEST(Checkpoints, NoDrawingMustBeSaidNotLeftOut) {
    TestKb base;
    base.write();
    base.exec("DELETE FROM Parametres WHERE Nom = 'Nb_Robot';");
    expectStopsAtWeights(base, "Nb_Robot");
    TestKb without;
    without.parameters["Nb_Robot"] = "0";
    without.parameters["Nb_Cadre"] = "0";
    without.write();
    const kb::LoadResult r = loadResult(without);
    EXPECT_TRUE(r.ok()) << r.detail.toStdString();
}

TEST(Checkpoints, CountsThatSizeNothingMayBeMissing) {
    TestKb base;
    base.write();
    base.exec(
        "DELETE FROM Parametres WHERE Nom IN "
        "('Nb_But_Car','Nb_But_Deter','Nb_But_Quest','Nb_Contraintes');");
    kb::Model m;
    const kb::LoadResult r = kb::loadKnowledgeBase(m, base.options());
    EXPECT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_EQ(m.DeterButtonCount, 0);
    EXPECT_EQ(m.ConstraintCount, 0);
}

TEST(Checkpoints, AMissingColourRowStopsAtTheWeights) {
    TestKb base;
    base.write();
    base.exec("DELETE FROM Couleurs WHERE Numero = 2;");
    expectStopsAtWeights(base, "Couleurs");
}

TEST(Checkpoints, ADescriptorNumberOutOfRangeStopsAtTheWeights) {
    TestKb base;
    base.write();
    base.exec("UPDATE Objets_Fic SET Desc_Num = 2 WHERE Objet = 'PATTE';");
    expectStopsAtWeights(base, "Desc_Num");
}

// An empty number of a question or a drawing row would read as 0; loading names the field.
TEST(Checkpoints, AnEmptyNumberFieldStopsAtTheWeightsAndNamesIt) {
    for (const char* field : {"Cadre", "Lignes", "Colonnes", "Index_Car", "Nb_Car", "Desc_Num"}) {
        TestKb base;
        base.write();
        base.exec(QStringLiteral("UPDATE Objets_Fic SET %1 = NULL WHERE Objet = 'PATTE';")
                      .arg(QLatin1String(field)));
        expectStopsAtWeights(base, field);
        const QString detail = loadResult(base).detail;
        EXPECT_TRUE(detail.contains("PATTE"));
        EXPECT_TRUE(detail.contains(QStringLiteral("no \"%1\" value").arg(QLatin1String(field))))
            << detail.toStdString();
    }
    TestKb base;
    base.write();
    base.exec("UPDATE Hierarchie SET Robot_Num = NULL;");
    expectStopsAtWeights(base, "Robot_Num");
}

// An empty rectangle or frame of a click zone would read as 0 and open another question.
TEST(Checkpoints, AnEmptyClickZoneNumberStopsAtTheWeightsAndNamesIt) {
    for (const char* field : {"X1", "Y1", "X2", "Y2", "Cadre", "Test_Cadre"}) {
        TestKb base;
        base.zones = {{"AILE", 0, false, 10, 900, 20, 700, {}}};
        base.write();
        base.exec(QStringLiteral("UPDATE Clic_Zone SET %1 = NULL;").arg(QLatin1String(field)));
        expectStopsAtWeights(base, field);
        const QString detail = loadResult(base).detail;
        EXPECT_TRUE(detail.contains(QStringLiteral("\"Clic_Zone\" row 1"))) << detail.toStdString();
        EXPECT_TRUE(detail.contains(QStringLiteral("no \"%1\" value").arg(QLatin1String(field))))
            << detail.toStdString();
    }
    TestKb base;
    base.write();
    base.exec("UPDATE Objets_Fic SET Joker = NULL WHERE Objet = 'PATTE';");
    expectStopsAtWeights(base, "no \"Joker\" value");
}

TEST(Checkpoints, AMissingTableStopsAtTheWeights) {
    TestKb base;
    base.write();
    base.exec("DROP TABLE Hierarchie;");
    expectStopsAtWeights(base, "Hierarchie");
}

TEST(Checkpoints, AMissingParameterTableStopsAtTheWeights) {
    TestKb base;
    base.write();
    base.exec("DROP TABLE Parametres;");
    expectStopsAtWeights(base, "Parametres");
}

TEST(Checkpoints, MissingOrShortWeights) {
    TestKb base;
    base.write();
    QFile::remove(base.dataDir() + "POIDS.DAT");
    kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::WeightsOpen);
    EXPECT_EQ(r.message, base.dataDir() + "POIDS.DAT");

    base.writeFile("POIDS.DAT", QByteArray(9, '\1'));  // five weights need ten bytes
    r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::WeightsRead);
    EXPECT_EQ(r.stringId, 1069);
    EXPECT_TRUE(r.message.isEmpty());
}

TEST(Checkpoints, AMissingMatrixStopsAfterTheListAndTreeAreBuilt) {
    TestKb base;
    base.write();
    QFile::remove(base.dataDir() + "MATRICE.DAT");
    kb::Model m;
    const kb::LoadResult r = kb::loadKnowledgeBase(m, base.options());
    EXPECT_EQ(r.failedAt, Checkpoint::MatrixOpen);
    EXPECT_EQ(r.message, base.dataDir() + "MATRICE.DAT");
    EXPECT_EQ(m.speciesListLineCount(), 3);
    EXPECT_GE(m.Tree.find("SP1"), 0);
}

TEST(Checkpoints, AShortMatrixIsAReadError) {
    TestKb base;
    base.write();
    base.writeFile("MATRICE.DAT", QByteArray(29, '\0'));
    const kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::MatrixRead);
    EXPECT_EQ(r.stringId, 1070);
}

TEST(Checkpoints, AHugeCountWithAShortMatrixFailsWithoutAllocating) {
    TestKb base;
    base.parameters["Nb_Etats_Desc"] = "32767";
    base.write();
    base.writeFile("POIDS.DAT", QByteArray(2 * 32767, '\0'));
    const kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::MatrixRead);
}

// A rebuild interrupted between the data files and the database, or files copied from
// another base, leave data files of the wrong size: longer ones are refused as well as
// shorter ones, and nothing past the size wanted is read.
TEST(Checkpoints, DataFilesOfAnyOtherSizeThanTheCountsGiveAreRefused) {
    TestKb base;
    base.write();
    base.writeFile("POIDS.DAT", QByteArray(12, '\1'));  // five weights are ten bytes
    kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::WeightsRead);
    EXPECT_TRUE(r.detail.contains("12 bytes where exactly 10")) << r.detail.toStdString();

    base.writeFile("POIDS.DAT", QByteArray(10, '\1'));
    base.writeFile("MATRICE.DAT", QByteArray(30 + 300 * 1024, '\0'));
    r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::MatrixRead);
    EXPECT_EQ(r.stringId, 1070);
    EXPECT_TRUE(r.detail.contains("where exactly 30")) << r.detail.toStdString();

    base.writeFile("MATRICE.DAT", QByteArray(30, '\0'));
    EXPECT_TRUE(loadResult(base).ok());
}

TEST(Checkpoints, DataFilesThatAreNotRegularFilesAreRefusedAtOnce) {
    TestKb base;
    base.write();
    QFile::remove(base.dataDir() + "MATRICE.DAT");
    // A pipe with no writer would block a reader forever; a folder is not data.
    ASSERT_EQ(::mkfifo(QFile::encodeName(base.dataDir() + "MATRICE.DAT").constData(), 0600), 0);
    kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::MatrixOpen);
    EXPECT_TRUE(r.detail.contains("not a regular file")) << r.detail.toStdString();

    QFile::remove(base.dataDir() + "POIDS.DAT");
    ASSERT_TRUE(QDir(base.dataDir()).mkdir("POIDS.DAT"));
    r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::WeightsOpen);
    EXPECT_TRUE(r.detail.contains("folder")) << r.detail.toStdString();
}

TEST(Checkpoints, AFloraWithFewerRowsThanSpeciesIsRefusedBeforeRanking) {
    TestKb base;
    base.write();
    base.exec("DELETE FROM Flore;");
    kb::LoadResult r = loadResult(base);
    EXPECT_EQ(r.failedAt, Checkpoint::WeightsOpen);
    EXPECT_TRUE(r.detail.contains("\"Flore\" table has 0 rows where \"Nb_Esp\" counts 3"))
        << r.detail.toStdString();

    TestKb partial;
    partial.write();
    partial.exec("DELETE FROM Flore WHERE Code = 'SP3';");
    r = loadResult(partial);
    EXPECT_EQ(r.failedAt, Checkpoint::WeightsOpen);
    EXPECT_TRUE(r.detail.contains("has 2 rows")) << r.detail.toStdString();
}
