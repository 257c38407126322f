#include "kb/loader.h"
#include "support/hostilefiles.h"
#include "support/testkb.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>

using testing_support::ToolRun;

namespace {

ToolRun vkb(const QStringList& args) {
    return testing_support::runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

// A copy of the demo source that a test may change, in a folder of its own with room
// around it: <root>/src is the source, <root>/out the base.
class SourceCopy : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(src()));
        const QDir demo(QStringLiteral(VIREKA_DEMO_SOURCE));
        for (const QString& name : demo.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(demo.filePath(name), QDir(src()).filePath(name)));
    }
    QString src() const { return root.filePath("src"); }
    QString out() const { return root.filePath("out"); }
    // Appends lines to a source file; returns the number of the first one.
    int append(const QString& name, const QString& lines) {
        QFile f(QDir(src()).filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadWrite | QIODevice::Append));
        f.seek(0);
        const int first = int(f.readAll().count('\n')) + 1;
        f.write(lines.toUtf8());
        return first;
    }
    QString place(const QString& name, int line) const {
        return QDir(src()).filePath(name) + ':' + QString::number(line) + ": ";
    }
    ToolRun build() { return vkb({"build", src(), out()}); }
    bool loads(QString* why) const {
        kb::Model model;
        kb::LoadOptions options;
        options.dataDir = out() + '/';
        options.databaseName = QStringLiteral("vireka.db");
        options.text = [](int) { return std::optional<QString>(QStringLiteral("root")); };
        const kb::LoadResult r = kb::loadKnowledgeBase(model, options);
        *why = r.detail;
        return r.ok();
    }
    QStringList rootEntries() const {
        return QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir root;
};

const QString ExtraSpecies = QStringLiteral(
    "species ZZZZZ \"Zeta zeta\"\n  family ZETIDAE\n  legend \"Zeta\"\n  common en \"Zeta\"\n"
    "  common fr \"Zeta\"\n  common es \"Zeta\"\n  text en \"Z\"\n  text fr \"Z\"\n"
    "  shows ZYGO\n");

}  // namespace

TEST_F(SourceCopy, ARebuildReplacesTheBaseWholeAndLeavesNothingBeside) {
    ToolRun r = build();
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile stale(QDir(out()).filePath("left-from-before.txt"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    append("species.txt", ExtraSpecies);
    r = build();
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(stale.exists());
    EXPECT_EQ(rootEntries(), QStringList({"out", "src"}));
    QString why;
    EXPECT_TRUE(loads(&why)) << why.toStdString();
}

TEST_F(SourceCopy, AFolderThatIsNotABaseIsNeverReplaced) {
    ASSERT_TRUE(QDir().mkpath(out()));
    QFile notes(QDir(out()).filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("mine");
    notes.close();
    const ToolRun r = build();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("not a knowledge base")) << r.err.toStdString();
    EXPECT_TRUE(notes.exists());
    EXPECT_EQ(rootEntries(), QStringList({"out", "src"}));
}

// Killed at any moment, a rebuild leaves the old base or the new one, whole: the database
// and the data files always agree.
TEST_F(SourceCopy, AKilledRebuildLeavesTheOldBaseOrTheNewOne) {
    ToolRun r = build();
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    append("species.txt", ExtraSpecies);
    for (int delay : {30, 120, 300, 600, 1000}) {
        SCOPED_TRACE(delay);
        QProcess p;
        p.start(QStringLiteral(VIREKA_KB_PATH), {"build", src(), out()});
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(delay);
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished();
        QString why;
        EXPECT_TRUE(loads(&why)) << why.toStdString();
        for (const QString& e : rootEntries())
            if (e.startsWith(".out.building-")) QDir(root.filePath(e)).removeRecursively();
    }
}

TEST_F(SourceCopy, KeysThatWouldNameFilesOutsideTheBaseAreSourceErrors) {
    const int line = append("questions.txt",
                            "question ../../../../SPOTS \"Spots\"\n  state SP_A \"a\"\n"
                            "  state SP_B \"b\"\n");
    const ToolRun r = build();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(place("questions.txt", line))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("question key '../../../../SPOTS' names a file"))
        << r.err.toStdString();
    EXPECT_EQ(rootEntries(), QStringList({"src"}));
    EXPECT_FALSE(QFileInfo::exists(QDir(root.path()).filePath("../../spots.png")));
}

TEST_F(SourceCopy, AnOversizedGridIsASourceError) {
    const int line = append("questions.txt",
                            "question SPOTS \"Spots\"\n  grid 100000 100000\n  state SP_A \"a\"\n"
                            "  state SP_B \"b\"\n");
    const ToolRun r = build();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(place("questions.txt", line))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("larger than 32 x 32")) << r.err.toStdString();
    EXPECT_EQ(rootEntries(), QStringList({"src"}));
}

TEST_F(SourceCopy, StateImagesMustBeReadablePicturesOfASensibleSize) {
    QDir(src()).mkpath("pictures");
    QFile text(QDir(src()).filePath("pictures/notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all");
    text.close();
    QFile huge(QDir(src()).filePath("pictures/huge.png"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(testing_support::pngClaiming(100000, 100000));
    huge.close();

    for (const char* image : {"missing.png", "notes.png", "huge.png", "../kb.txt"}) {
        SCOPED_TRACE(image);
        QDir(src()).remove("questions.txt");
        QFile::copy(QString(VIREKA_DEMO_SOURCE) + "/questions.txt",
                    QDir(src()).filePath("questions.txt"));
        const int line = append("questions.txt", QStringLiteral("question SPOTS \"Spots\"\n"
                                                                "  state SP_A \"a\" image %1\n"
                                                                "  state SP_B \"b\"\n")
                                                     .arg(image));
        const ToolRun r = build();
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(place("questions.txt", line + 1))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(image))) << r.err.toStdString();
    }
}

TEST_F(SourceCopy, IncludesAreRegularFilesInsideTheSourceFolder) {
    QFile secret(root.filePath("secret.txt"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("password123 is the first line\n");
    secret.close();
    ASSERT_TRUE(QDir(src()).mkdir("sub"));
    for (const char* target : {"../secret.txt", "/dev/zero", "sub"}) {
        SCOPED_TRACE(target);
        QDir(src()).remove("kb.txt");
        QFile::copy(QString(VIREKA_DEMO_SOURCE) + "/kb.txt", QDir(src()).filePath("kb.txt"));
        const int line = append("kb.txt", QStringLiteral("include %1\n").arg(target));
        const ToolRun r = build();
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(place("kb.txt", line))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("password123"));
    }
}

namespace {

QStringList checkFindings(const testing_support::TestKb& base) {
    return vkb({"check", "--data", base.dataDir(), "--base", base.databaseName()})
        .out.split('\n', Qt::SkipEmptyParts);
}

}  // namespace

TEST(CheckOfABase, ReportsNamesThatLeaveTheBaseAndPicturesThatCannotBeShown) {
    testing_support::TestKb base;
    base.deterButtons = {{"Search", "../../../../etc/passwd", "tip", "Search"}};
    base.write();
    base.writeFile("couleur.wmf", "not a metafile");
    const QString all = checkFindings(base).join('\n');
    EXPECT_TRUE(all.contains("But_Deter row 1: picture '../../../../etc/passwd' leaves its folder"))
        << all.toStdString();
    EXPECT_TRUE(all.contains("couleur.wmf: the palette picture cannot be shown"))
        << all.toStdString();
    EXPECT_FALSE(all.contains("root:")) << all.toStdString();
}

// A data file longer than its counts (left by another base) is reported by check without
// being read, and refused by the commands that rank.
TEST(CheckOfABase, DataFilesOfTheWrongSizeAreFoundAndRefused) {
    testing_support::TestKb base;
    base.write();
    base.writeFile("MATRICE.DAT", QByteArray(30 + 4096, '\0'));
    EXPECT_TRUE(checkFindings(base).contains("MATRICE.DAT holds 4126 bytes, 30 expected"));
    for (const char* command : {"rank", "best"}) {
        const ToolRun r = vkb({command, "--data", base.dataDir(), "--base", base.databaseName()});
        EXPECT_EQ(r.exitCode, 2) << command;
        EXPECT_TRUE(r.err.contains("where exactly 30")) << r.err.toStdString();
    }
}

// What check passes must not break the program: empty numbers of a click zone, an empty
// proposable flag, a descriptor number used twice and a question without a key are found.
TEST(CheckOfABase, FindsWhatWouldBreakTheProgramThoughTheTablesAreReadable) {
    testing_support::TestKb base;
    base.zones = {{"AILE", 0, false, 10, 900, 20, 700, {}}};
    base.write();
    base.exec(
        "UPDATE Clic_Zone SET X2 = NULL, Test_Cadre = NULL;"
        "UPDATE Objets_Fic SET Joker = NULL WHERE Objet = 'PATTE';"
        "UPDATE Objets_Fic SET Desc_Num = 0 WHERE Objet = 'PATTE';");
    QStringList findings = checkFindings(base);
    const QString all = findings.join('\n');
    EXPECT_TRUE(findings.contains("Clic_Zone row 1: no X2 value")) << all.toStdString();
    EXPECT_TRUE(findings.contains("Clic_Zone row 1: no Test_Cadre value")) << all.toStdString();
    EXPECT_TRUE(findings.contains("Objets_Fic 'PATTE': no Joker value")) << all.toStdString();
    base.exec("UPDATE Objets_Fic SET Joker = 1 WHERE Objet = 'PATTE';");
    findings = checkFindings(base);
    EXPECT_TRUE(findings.contains("Objets_Fic 'PATTE': Desc_Num 0 is already the number of 'AILE'"))
        << findings.join('\n').toStdString();
    base.exec("UPDATE Objets_Fic SET Desc_Num = 1, Objet = '' WHERE Objet = 'PATTE';");
    findings = checkFindings(base);
    EXPECT_TRUE(findings.join('\n').contains(": no Objet key"))
        << findings.join('\n').toStdString();
}

// A count too large for 16 bits is said to be so, by rank as by check.
TEST(CheckOfABase, ACountBeyondSixteenBitsIsSaidToBeSo) {
    testing_support::TestKb base;
    base.parameters["Nb_Esp"] = "40000";
    base.write();
    EXPECT_TRUE(checkFindings(base).contains("Parametres: Nb_Esp does not fit in 16 bits"));
    const ToolRun r = vkb({"rank", "--data", base.dataDir(), "--base", base.databaseName()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("(40000) does not fit in 16 bits")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("below 1")) << r.err.toStdString();
}

// One empty condition column is one finding, not one per column after it.
TEST(CheckOfABase, AnEmptyConditionIsOneFinding) {
    testing_support::TestKb base;
    base.write();
    base.exec("UPDATE Hierarchie SET C_0 = NULL, C_1 = NULL;");
    const QStringList findings = checkFindings(base);
    EXPECT_EQ(findings.filter("Hierarchie row 1:").size(), 1) << findings.join('\n').toStdString();
    EXPECT_TRUE(
        findings.contains("Hierarchie row 1: C_0 is empty: the conditions end with \"Fin\""))
        << findings.join('\n').toStdString();
}

// Questions that name one picture file are each told about it, and a file reached by
// another name (a link) is reported by the name it was read by.
TEST(CheckOfABase, EachQuestionNamingABrokenPictureIsToldByItsOwnName) {
    for (const bool linked : {false, true}) {
        testing_support::TestKb base;
        base.objects[0].popup = "shared.png";
        base.objects[1].popup = linked ? "alias.png" : "shared.png";
        base.write();
        base.writeFile("shared.png", "not a picture");
        if (linked) {
            ASSERT_TRUE(QFile::link(base.dataDir() + "shared.png", base.dataDir() + "alias.png"));
        }
        const QStringList findings = vkb({"check", "--data", base.dataDir(), "--base",
                                          base.databaseName(), "--descriptors", base.dataDir()})
                                         .out.split('\n', Qt::SkipEmptyParts);
        const QString all = findings.join('\n');
        for (const auto& o : base.objects) {
            const QString start =
                QStringLiteral("Objets_Fic '%1': picture of choices '%2' cannot be shown (")
                    .arg(o.key, o.popup);
            const auto line = std::find_if(findings.cbegin(), findings.cend(),
                                           [&](const QString& f) { return f.startsWith(start); });
            ASSERT_NE(line, findings.cend()) << all.toStdString();
            EXPECT_TRUE(line->mid(start.size()).contains(o.popup)) << line->toStdString();
        }
    }
}
