// The record of uncoded cells, followed from a dataset to what a user reads: the importer
// writes it, the program's engine (through vireka-kb rank) puts a described taxon before the
// ones that match only because they were never described and marks those, and the web
// site's engine prints exactly the same.
#include "support/importdatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

using testing_support::runTool;
using testing_support::ToolRun;
using testing_support::writeFile;

namespace {

ToolRun vireka_kb(const QStringList& args) {
    return runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

QString node() {
    const QString found = QStandardPaths::findExecutable(QStringLiteral("node"));
    return found.isEmpty() ? QStringLiteral("/usr/bin/node") : found;
}

// Rows of one query on a base, each as its columns' texts joined by "|".
QStringList query(const QString& db, const char* sql) {
    QStringList rows;
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(db.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(handle);
        return rows;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList columns;
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                columns << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
            rows << columns.join('|');
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(handle);
    return rows;
}

// Five taxa of grasses: two described in full, a genus that codes only its culms, a family
// that codes nothing, and a taxon whose leaf shape is given as unknown ("U"). Character 4
// depends on character 1 (inapplicable under woody culms), so a woody taxon that leaves it
// out has it inapplicable, not uncoded.
void writeDataset(const QString& folder) {
    writeFile(folder + "/specs",
              "*NUMBER OF CHARACTERS 4\n*MAXIMUM NUMBER OF STATES 3\n"
              "*MAXIMUM NUMBER OF ITEMS 6\n"
              "*NUMBERS OF STATES 1,2 2,3 3,3 4,2\n"
              "*DEPENDENT CHARACTERS 1,2:4\n");
    writeFile(folder + "/chars",
              "*CHARACTER LIST\n"
              "#1. culms/\n     1. herbaceous/\n     2. woody/\n"
              "#2. leaf shape/\n     1. linear/\n     2. folded/\n     3. rolled/\n"
              "#3. spikelet colour/\n     1. green/\n     2. purple/\n     3. golden/\n"
              "#4. ligule/\n     1. membranous/\n     2. a fringe of hairs/\n");
    writeFile(folder + "/items",
              "*ITEM DESCRIPTIONS\n"
              "# Agrostis capillaris/\n1,1 2,1 3,2 4,1\n"
              "# Festuca/\n1,1\n"
              "# Festuca ovina/\n1,1 2,2 3,3 4,1\n"
              "# Festuca rubra/\n1,1 2,U 3,3 4,1\n"
              "# Poaceae/\n"
              "# Bambusa/\n1,2 2,2 3,1\n");
}

struct Imported {
    QTemporaryDir dir;
    QString kb, site;
    int states = 0, frames = 0;
    QMap<QString, int> stateOf;  // "ID_CARAC" -> state number

    bool make() {
        writeDataset(dir.filePath("delta"));
        kb = dir.filePath("kb");
        site = dir.filePath("site");
        const ToolRun imported = vireka_kb({"import", "delta", dir.filePath("delta"), kb});
        EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        const ToolRun exported = vireka_kb({"export", "web", kb, site});
        EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
        for (const QString& row : query(db(), "SELECT Parametre, Etat FROM Parametres")) {
            const QStringList p = row.split('|');
            if (p[0] == "Nb_Etats_Desc") states = p[1].toInt();
            if (p[0] == "Nb_Cadre") frames = p[1].toInt();
        }
        for (const QString& row : query(db(), "SELECT ID_CARAC, NUM FROM Caracteres")) {
            const QStringList p = row.split('|');
            stateOf.insert(p[0], p[1].toInt());
        }
        return imported.exitCode == 0 && exported.exitCode == 0 && states > 0;
    }
    QString db() const { return kb + "/vireka.db"; }

    // An identification file choosing the states named by code.
    QString qnt(const QString& name, const QStringList& codes) const {
        QByteArray bytes(2 * (states + frames), '\0');
        for (const QString& code : codes) {
            EXPECT_TRUE(stateOf.contains(code)) << code.toStdString();
            bytes[2 * stateOf.value(code)] = 1;
        }
        const QString path = dir.filePath(name);
        writeFile(path, bytes);
        return path;
    }
    QStringList desktopRank(const QStringList& args) const {
        const ToolRun r =
            vireka_kb(QStringList{"rank", "--data", kb, "--base", "vireka.db"} << args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return r.out.split('\n', Qt::SkipEmptyParts);
    }
    QStringList webRank(const QStringList& args) const {
        const ToolRun r = runTool(node(), QStringList{site + "/engine/cli.mjs", "rank"} << args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return r.out.split('\n', Qt::SkipEmptyParts);
    }
};

TEST(UncodedRecord, TheImporterRecordsUnknownCellsButNotInapplicableOnes) {
    Imported key;
    ASSERT_TRUE(key.make());
    const QStringList rows =
        query(key.db(), "SELECT Espece, Objet FROM Non_Codes ORDER BY Espece, Objet");
    EXPECT_EQ(rows, QStringList({"Festuca|C2", "Festuca|C3", "Festuca|C4", "Festuca rubra|C2",
                                 "Poaceae|C1", "Poaceae|C2", "Poaceae|C3", "Poaceae|C4"}));
    // The source says it too, so that a rebuild keeps it.
    QFile source(key.kb + "/source/kb.txt");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << source.fileName().toStdString();
    EXPECT_TRUE(source.readAll().contains("  uncoded C1 C2 C3 C4\n"));
    // Uncoded still shows every state: the matrix rules nothing out for them.
    const QStringList poaceae = key.desktopRank(
        {"--qnt", key.qnt("a.qnt", {"C1_2", "C2_3", "C3_1"}), "--threshold", "100"});
    EXPECT_TRUE(poaceae.contains(" 100% - Poaceae (3 unknown)"))
        << poaceae.join('\n').toStdString();
}

TEST(UncodedRecord, ADescribedTaxonLeadsTheTiesAndTheOthersAreMarked) {
    Imported key;
    ASSERT_TRUE(key.make());
    const QString answers = key.qnt("ovina.qnt", {"C1_1", "C2_2", "C3_3", "C4_1"});
    const QStringList expected{" 100% - Festuca ovina",
                               " 100% - Festuca rubra (1 unknown)",
                               " 100% - Festuca (3 unknown)",
                               " 100% - Poaceae (4 unknown)",
                               " 50% - Agrostis capillaris",
                               " 25% - Bambusa",
                               " 4 species at 100 % (1 fully described)"};
    EXPECT_EQ(key.desktopRank({"--qnt", answers}), expected);
    EXPECT_EQ(key.webRank({"--qnt", answers}), expected);
    // Before any answer nothing is marked and the legend is as it always was.
    const QStringList start = key.desktopRank({"--qnt", key.qnt("none.qnt", {})});
    ASSERT_EQ(start.size(), 7);
    for (const QString& line : start) EXPECT_FALSE(line.contains('(')) << line.toStdString();
    EXPECT_EQ(key.webRank({"--qnt", key.qnt("none.qnt", {})}), start);
}

// Random descriptions on the imported key: both engines print the same lines, marks and
// legends included.
TEST(UncodedRecord, BothEnginesAgreeOnRandomDescriptions) {
    Imported key;
    ASSERT_TRUE(key.make());
    QRandomGenerator random(28);
    QStringList paths;
    const QStringList codes = key.stateOf.keys();
    for (int n = 0; n < 40; ++n) {
        QStringList chosen;
        for (int c = int(random.bounded(5)); c > 0; --c)
            chosen << codes[int(random.bounded(int(codes.size())))];
        paths << key.qnt(QStringLiteral("r%1.qnt").arg(n), chosen);
    }
    const QString list = key.dir.filePath("list.txt");
    writeFile(list, paths.join('\n').toUtf8() + '\n');
    for (const char* threshold : {"-1", "50"}) {
        const QStringList desktop = key.desktopRank({"--threshold", threshold, "--qnt-list", list});
        ASSERT_GT(desktop.size(), 80);
        EXPECT_EQ(key.webRank({"--threshold", threshold, "--qnt-list", list}), desktop);
    }
}

}  // namespace
