#include "support/testkb.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

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

Run vkb(const QStringList& args, const QProcessEnvironment& env = {}) {
    QProcess p;
    if (!env.isEmpty()) p.setProcessEnvironment(env);
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
    // A base the checker passes: species codes are five characters long, the toolbar
    // pictures lie in the data folder.
    void writeCheckableBase() {
        for (auto& species : kb.flora) species.code = species.code + "XX";
        for (auto& name : kb.commonNames) name.code = name.code + "XX";
        kb.write();
        kb.writePictures();
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
    // Legs P1 and P3: Alpha and Gamma lead together and share the wing state left to ask.
    r = vkb(base("best") << "--qnt" << qnt({0, 0, 1, 0, 1, 0, 0}));
    EXPECT_EQ(r.out, QStringList{"No more discriminant characteristic !!!"});
}

// The tools read identification files as the program opens them, and Search is the
// program's: one species alone at the top ends it before any question is scored.
TEST_F(Inspect, IdentificationFilesAndSearchAsTheProgramHasThem) {
    kb.write();
    auto r = vkb(base("best") << "--qnt" << qnt({1, 0, 0, 0, 1, -1, -1}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringList{"There is only one species"});

    for (const auto& foreign :
         {std::vector<qint16>{2, 0, 0, 0, 0, 0, 0}, std::vector<qint16>{0, 0, 0, 0, 0, 3, 0}}) {
        r = vkb(base("rank") << "--qnt" << qnt(foreign));
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.join('\n').toStdString();
        EXPECT_TRUE(r.err.contains("is not an identification of this knowledge base"))
            << r.err.toStdString();
    }
    // Another base's length is read, with the program's warning.
    r = vkb(base("rank") << "--qnt" << qnt({1, 0, 0, 0, 1}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.value(0), " 100% - Gamma gamma");
    EXPECT_TRUE(r.err.contains("was saved with another knowledge base")) << r.err.toStdString();
}

// Nothing but the tool's own output: no note of Qt's about the session it runs in.
TEST_F(Inspect, StandardErrorStaysQuietInAPlainShell) {
    kb.write();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_RUNTIME_DIR", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    env.insert("PATH", "/usr/bin:/bin");
    const auto r = vkb(base("rank"), env);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, QString());
}

TEST_F(Inspect, CheckNamesADatabaseThatIsAPipeADeviceOrAFolder) {
    kb.write();
    const QString fifo = kb.dataDir() + "pipe.sqlite";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(kb.dataDir() + "folder.sqlite"));
    const struct {
        QStringList args;
        QString says;
    } cases[] = {
        {{"check", "--data", kb.dataDir(), "--base", "pipe.sqlite"}, "is a pipe"},
        {{"check", "--data", "/dev/", "--base", "zero"}, "is a device"},
        {{"check", "--data", kb.dataDir(), "--base", "folder.sqlite"}, "is a folder"},
    };
    for (const auto& c : cases) {
        const auto r = vkb(c.args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("does not exist")) << r.err.toStdString();
    }
}

TEST_F(Inspect, CheckPassesAGoodBaseAndNamesEachFault) {
    writeCheckableBase();
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
          "object 'NOSUCH' is not in Objets_Fic", "couleur.wmf"})
        EXPECT_TRUE(all.contains(QLatin1String(expected))) << expected << "\n" << all.toStdString();
    // A heavy weight is no fault: scores are summed exactly, past 16 bits.
    EXPECT_FALSE(all.contains("POIDS.DAT") || all.contains("MATRICE.DAT")) << all.toStdString();
}

// What the program refuses or mishandles is found by the check: empty numbers, a dependency
// whose code matches a state only when case is ignored, a species of no family.
TEST_F(Inspect, CheckFindsEmptyNumbersCaseOnlyCodesAndSpeciesWithoutFamily) {
    kb.dependencies = {{"a1", "PATTE"}};
    kb.flora[1].family = "";
    kb.write();
    kb.exec(
        "UPDATE Objets_Fic SET Cadre = NULL WHERE Objet = 'AILE';"
        "UPDATE Hierarchie SET Robot_Num = NULL;"
        "UPDATE Flore SET Famille = NULL WHERE Code = 'SP3';");
    const auto r = vkb(base("check"));
    EXPECT_EQ(r.exitCode, 1);
    const QString all = r.out.join('\n');
    for (const char* expected :
         {"Objets_Fic 'AILE': no Cadre value", "Hierarchie row 1: no Robot_Num value",
          "Descendance row 1: state code 'a1' matches Caracteres only when case is ignored",
          "Flore: species 'SP2' has no family", "Flore: species 'SP3' has no family"})
        EXPECT_TRUE(all.contains(QLatin1String(expected))) << expected << "\n" << all.toStdString();
}

// Before the weights are read, the tools say what failed, not the weights file's name.
TEST_F(Inspect, LoadingFailuresSayWhatFailed) {
    kb.write();
    kb.exec("DROP TABLE Hierarchie;");
    const auto r = vkb(base("rank"));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("Hierarchie")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("POIDS.DAT")) << r.err.toStdString();
}

// The check looks for the files the program opens, named as it names them: a later
// drawing's variant with drawing 0's suffix, the contradiction layers and button icons.
TEST_F(Inspect, CheckFindsTheDrawingsAndMarksAsTheProgramNamesThem) {
    kb.parameters["Nb_Robot"] = "2";
    kb.variants = {{0, "body_F.WMF", {}}, {1, "legs", {}}};
    kb.contradictions = {{"AILE", 2}, {"PATTE", -1}};
    kb.write();
    const QStringList args = base("check") << "--drawings" << kb.dataDir();
    auto r = vkb(args);
    QString all = r.out.join('\n');
    for (const char* expected : {"Hierarchie: drawing '01/legs_F.WMF' is missing",
                                 "Contradictions: picture 'CONTRA/patte_F.WMF' is missing",
                                 "Contradictions: picture 'CONTRA/aile.ico' is missing"})
        EXPECT_TRUE(all.contains(QLatin1String(expected))) << expected << "\n" << all.toStdString();
    EXPECT_FALSE(all.contains("body_F.WMF'")) << all.toStdString();

    // Written in other case, as a base made on a case-insensitive disk may be.
    QFile::rename(kb.dataDir() + "01/legs", kb.dataDir() + "01/legs_f.wmf");
    QDir().mkpath(kb.dataDir() + "contra");
    // Real pictures: the check also makes sure the program can show them.
    QFile::copy(kb.dataDir() + "couleur.wmf", kb.dataDir() + "contra/Patte_F.wmf");
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(Qt::red);
    icon.save(kb.dataDir() + "contra/AILE.ICO", "PNG");
    r = vkb(args);
    all = r.out.join('\n');
    EXPECT_FALSE(all.contains("drawing '")) << all.toStdString();
    EXPECT_FALSE(all.contains("Contradictions: picture")) << all.toStdString();
}

TEST_F(Inspect, CheckWarnsOfPagePicturesOfAnotherSizeWithoutFailing) {
    writeCheckableBase();
    const QString docs = kb.dataDir() + "docs/";
    for (size_t i = 0; i < kb.flora.size(); ++i) {
        const QString c = kb.flora[i].code.toLower();
        const QString folder = docs + c.left(1) + "/" + c + "/";
        QDir().mkpath(folder);
        QFile page(folder + c + "_en.html");
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        // The first has the usual page, the second one half as large, the third none.
        if (i == 2) continue;
        QImage picture(i == 0 ? QSize(2200, 3300) : QSize(1100, 1650), QImage::Format_Mono);
        picture.fill(0);
        ASSERT_TRUE(picture.save(folder + c + ".gif", "PNG"));
    }
    const auto r = vkb(base("check") << "--documents" << docs);
    EXPECT_EQ(r.exitCode, 0) << r.out.join('\n').toStdString();
    EXPECT_EQ(r.out, QStringList{"warning: Flore 'SP2XX': page picture 's/sp2xx/sp2xx.gif' is "
                                 "1100 x 1650 pixels, not 2200 x 3300"});
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
