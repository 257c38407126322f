#include "support/testkb.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

using testing_support::TestKb;

namespace {

// vireka-kb is built beside the test programs: <build>/tools and <build>/tests.
QString toolPath() {
    return QFileInfo(QCoreApplication::applicationDirPath() + "/../tools/vireka-kb")
        .absoluteFilePath();
}

struct Run {
    int exitCode = -1;
    QStringList out;
    QString err;
};

Run vkb(const QStringList& args) {
    QProcess p;
    p.start(toolPath(), args);
    Run r;
    if (!p.waitForFinished(60000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The default test base: three species; AILE (states A1, A2) and PATTE (P1, P2, P3).
struct Inspect : ::testing::Test {
    TestKb kb;
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(toolPath()).isExecutable()) << toolPath().toStdString();
    }
    QStringList base(const QString& command) const {
        return {command, "--data", kb.dataDir(), "--base", kb.databaseName()};
    }
    QString qnt(std::vector<qint16> values) const {
        QByteArray bytes;
        for (qint16 v : values) bytes.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
        kb.writeFile("id.qnt", bytes);
        return kb.dataDir() + "id.qnt";
    }
};

TEST_F(Inspect, RankPrintsTheListAndLegend) {
    kb.write();
    auto r = vkb(base("rank"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, (QStringList{" 0% - Alpha alpha", " 0% - Beta beta", " 0% - Gamma gamma",
                                  " 3 species at 0 %"}));
    // A1 and P3 chosen: Gamma shows both, Alpha one, Beta none.
    r = vkb(base("rank") << "--qnt" << qnt({1, 0, 0, 0, 1, -1, -1}) << "--threshold"
                         << "50");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              (QStringList{" 100% - Gamma gamma", " 50% - Alpha alpha", " 1 species at 100 %"}));
}

TEST_F(Inspect, BestProposesTheMostDiscriminantQuestion) {
    kb.write();
    auto r = vkb(base("best") << "--scores");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // AILE splits 2 and 1 over two states; PATTE splits 1, 1, 1 over three.
    EXPECT_EQ(r.out, (QStringList{"PATTE", "AILE\t0.9183", "PATTE\t1.0000"}));
    r = vkb(base("best") << "--qnt" << qnt({0, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(r.out, QStringList{"No more discriminant characteristic !!!"});
}

TEST_F(Inspect, CheckPassesAGoodBaseAndNamesEachFault) {
    // Species codes are five characters long; the toolbar pictures lie in the data folder.
    for (auto& species : kb.flora) species.code = species.code + "XX";
    for (auto& name : kb.commonNames) name.code = name.code + "XX";
    kb.write();
    for (const char* picture : {"search.bmp", "aile.bmp", "ok.bmp", "skip.bmp"})
        kb.writeFile(picture, "BM");
    auto r = vkb(base("check"));
    EXPECT_EQ(r.exitCode, 0) << r.out.join('\n').toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    kb.objects[1].stateCount = 1;  // a single state the search may propose
    kb.dependencies = {{"A1", "PATTE"}, {"P1", "AILE"}, {"ZZ", "NOSUCH"}};
    kb.weights = {400, 1, 1, 1, 1};
    kb.write();
    kb.exec(
        "DELETE FROM Descendance WHERE Numero = 2; DELETE FROM Parametres WHERE Nom = 'Nb_Cadre';");
    QFile::remove(kb.dataDir() + "couleur.wmf");
    r = vkb(base("check"));
    EXPECT_EQ(r.exitCode, 1);
    const QString all = r.out.join('\n');
    for (const char* expected :
         {"Parametres: no row Nb_Cadre", "Objets_Fic 'PATTE': a single state",
          "Descendance: no row 2", "state code 'ZZ' is not in Caracteres",
          "object 'NOSUCH' is not in Objets_Fic", "species 0 may score", "couleur.wmf"})
        EXPECT_TRUE(all.contains(QLatin1String(expected))) << expected << "\n" << all.toStdString();
}

TEST_F(Inspect, CheckFindsACycleAndShortDataFiles) {
    kb.dependencies = {{"A1", "PATTE"}, {"P2", "AILE"}};
    kb.write();
    kb.writeFile("MATRICE.DAT", QByteArray(10, '\0'));
    const auto r = vkb(base("check"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("Descendance: a cycle runs through object 'PATTE'"))
        << r.out.join('\n').toStdString();
    EXPECT_TRUE(r.out.contains("MATRICE.DAT holds 10 bytes, 30 expected"));
}

TEST_F(Inspect, BadArgumentsAndUnreadableBasesExitTwo) {
    kb.write();
    for (const QStringList& args :
         {QStringList{"rank", "--data", kb.dataDir()}, base("best") << "--frobnicate",
          base("rank") << "--threshold"
                       << "many",
          base("rank") << "--qnt"
                       << "/nonexistent.qnt",
          QStringList{"check", "--data", kb.dataDir(), "--base", "nothere.sqlite"},
          QStringList{"rank", "--data", kb.dataDir(), "--base", "nothere.sqlite"}}) {
        const auto r = vkb(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
    }
}

}  // namespace
