#include "engine/ranking.h"
#include "kb/loader.h"
#include "kb/model.h"
#include "support/importdatasets.h"
#include "support/spreadsheets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

namespace {

using testing_support::runTool;
using testing_support::ToolRun;

ToolRun vkb(const QStringList& args) {
    return runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList kColours{"red", "green", "blue", "yellow", "black"};

// 30 taxa and 20 characters: 15 of words (some cells with two states, some unknown or not
// applicable) and 5 of numbers (values, ranges, decimals), under two groups, with units.
QList<QStringList> matrix() {
    QStringList header{"name", "family", "common:fr"}, groups{"#group", "", ""},
        units{"#unit", "", ""};
    for (int c = 0; c < 20; ++c) {
        header << (c < 15 ? QStringLiteral("Colour of part %1").arg(c + 1)
                          : QStringLiteral("Length of part %1").arg(c - 14));
        groups << (c < 10 ? "Head" : "Body");
        units << (c < 15 ? "" : "mm");
    }
    QList<QStringList> rows{header, groups, units};
    for (int t = 0; t < 30; ++t) {
        QStringList r{QStringLiteral("Genus species%1").arg(t + 1),
                      t < 15 ? "Firstidae" : "Secondidae",
                      t % 3 ? QString() : QStringLiteral("Nom %1").arg(t + 1)};
        for (int c = 0; c < 15; ++c) {
            const int v = (t * 7 + c * 3 + t / 5) % 5;
            if ((t + c) % 11 == 0)
                r << "?";
            else if ((t + c) % 13 == 0)
                r << "-";
            else if ((t + c) % 4 == 0)
                r << kColours[v] + "|" + kColours[(v + 1) % 5];
            else
                r << kColours[v];
        }
        for (int c = 0; c < 5; ++c) {
            const int v = 2 + (t * (c + 3)) % 17;
            r << (c == 0   ? QString::number(v)
                  : c == 1 ? QStringLiteral("%1-%2").arg(v).arg(v + 2)
                  : c == 2 ? QStringLiteral("%1.5").arg(v)
                           : QString::number(v + c));
        }
        rows << r;
    }
    return rows;
}

struct Loaded {
    kb::Model model;
    bool ok = false;
    explicit Loaded(const QString& folder) {
        kb::LoadOptions options;
        options.dataDir = folder + QLatin1Char('/');
        options.databaseName = QStringLiteral("vireka.db");
        ok = kb::loadKnowledgeBase(model, options).ok();
    }
};

// The states the sheet gives a taxon, through the import map ("header:value"); for numeric
// characters the states its values reach in the base.
void ranksItself(const QString& out, const QList<QStringList>& rows) {
    QHash<QString, int> state;
    for (const QString& l : QString::fromUtf8(bytes(out + "/import-map.tsv")).split('\n')) {
        const QStringList f = l.split('\t');
        if (f.size() == 4 && f[0] == "state") state.insert(f[1], f[3].toInt());
    }
    Loaded base(out);
    ASSERT_TRUE(base.ok);
    for (int t = 3; t < rows.size(); ++t) {
        const QString name = rows[t][0];
        const int species =
            int(std::find(base.model.SpeciesName.begin(), base.model.SpeciesName.end(), name) -
                base.model.SpeciesName.begin());
        ASSERT_LT(species, base.model.SpeciesCount) << name.toStdString();
        engine::IdentificationState s;
        s.reset(base.model);
        for (int c = 3; c < 18; ++c)
            for (const QString& v : rows[t][c].split('|'))
                if (v != "?" && v != "-") {
                    ASSERT_TRUE(state.contains(rows[0][c] + ":" + v)) << v.toStdString();
                    s.StateChoice[size_t(state.value(rows[0][c] + ":" + v))] = 1;
                }
        for (auto it = state.cbegin(); it != state.cend(); ++it)
            if (it.key().startsWith("Length") && base.model.matrix(species, it.value()))
                s.StateChoice[size_t(it.value())] = 1;
        engine::Calcule_Scores(base.model, s);
        engine::Trie_Scores(s);
        engine::Calcule_Pourcentages(base.model, s);
        const auto rank =
            std::find(s.RankTable.species.begin(), s.RankTable.species.end(), species) -
            s.RankTable.species.begin();
        EXPECT_EQ(s.RankPercent[size_t(rank)], 100) << name.toStdString();
    }
}

TEST(TableImport, OneMatrixInThreeFormatsGivesOneBaseThatIdentifiesEachTaxon) {
    QTemporaryDir work;
    const QList<QStringList> rows = matrix();
    testing_support::writeCsv(work.filePath("matrix.csv"), rows);
    testing_support::writeOds(work.filePath("matrix.ods"), rows);
    testing_support::writeXlsx(work.filePath("matrix.xlsx"), rows);
    QByteArray first;
    for (const QString format : {"csv", "ods", "xlsx"}) {
        SCOPED_TRACE(format.toStdString());
        const QString out = work.filePath(format);
        const ToolRun r = vkb({"import", "table", work.filePath("matrix." + format), out});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains("30 species, 20 questions")) << r.out.toStdString();
        const ToolRun check =
            vkb({"check", "--data", out, "--base", "vireka.db", "--descriptors", "choices",
                 "--documents", "documents", "--drawings", "drawings"});
        EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
        ranksItself(out, rows);
        QByteArray source = bytes(out + "/source/kb.txt");
        source = source.mid(source.indexOf('\n'));  // the first line names the file read
        EXPECT_TRUE(source.contains("group \"Head\"") && source.contains("common fr \"Nom 4\""));
        const QByteArray all = bytes(out + "/vireka.db") + bytes(out + "/POIDS.DAT") +
                               bytes(out + "/MATRICE.DAT") + source;
        if (first.isEmpty()) first = all;
        EXPECT_TRUE(all == first);
    }
}

TEST(TableImport, TheExampleOfTheDocumentationImportsAndChecks) {
    QTemporaryDir work;
    const QString out = work.filePath("out");
    const ToolRun r = vkb({"import", "table",
                           QStringLiteral(VIREKA_DEMO_SOURCE) + "/../tables/damselflies.csv", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("10 species")) << r.out.toStdString();
    EXPECT_EQ(vkb({"check", "--data", out, "--base", "vireka.db", "--descriptors", "choices",
                   "--documents", "documents", "--drawings", "drawings"})
                  .exitCode,
              0);
    const QString source = QString::fromUtf8(bytes(out + "/source/kb.txt"));
    EXPECT_TRUE(source.contains("common fr \"Caloptéryx éclatant\"")) << source.toStdString();
}

// A refused spreadsheet: exit status 2, the message given, nothing written.
void expectRefused(const QString& file, const QString& message) {
    const QString out = QFileInfo(file).absolutePath() + "/out";
    const ToolRun r = vkb({"import", "table", file, out});
    EXPECT_EQ(r.exitCode, 2) << file.toStdString();
    EXPECT_TRUE(r.err.contains(message))
        << r.err.toStdString() << " wanted " << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}

QByteArray sheetRows(const QByteArray& rows) {
    return "<?xml version=\"1.0\"?><worksheet "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
           "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>name</t></is></c>"
           "<c r=\"B1\" t=\"inlineStr\"><is><t>Hairs</t></is></c>"
           "<c r=\"C1\" t=\"inlineStr\"><is><t>Spines</t></is></c></row>" +
           rows + "</sheetData></worksheet>";
}

QByteArray taxon(int row, const char* name, const char* b, const char* c) {
    return QStringLiteral(
               "<row r=\"%1\"><c r=\"A%1\" t=\"inlineStr\"><is><t>%2</t></is></c>"
               "<c r=\"B%1\" t=\"inlineStr\"><is><t>%3</t></is></c>"
               "<c r=\"C%1\" t=\"inlineStr\"><is><t>%4</t></is></c></row>")
        .arg(row)
        .arg(name, b, c)
        .toUtf8();
}

TEST(TableImport, HostileSpreadsheetsAreRefusedOrReadSafely) {
    QTemporaryDir work;
    const auto xlsx = [&work](const QString& name, const testing_support::ZipEntries& e) {
        const QString path = work.filePath(name);
        EXPECT_TRUE(testing_support::writeZip(path, e));
        return path;
    };
    // A zip bomb: a few hundred kilobytes that expand to 100 MB.
    expectRefused(
        xlsx("bomb.xlsx", testing_support::xlsxEntries(sheetRows({}), QByteArray(100 << 20, ' '))),
        "bomb.xlsx: the archive expands to more than 64 MB");
    // A sheet that claims a billion rows, and one that repeats a row a billion times.
    expectRefused(xlsx("billion.xlsx",
                       testing_support::xlsxEntries(sheetRows(taxon(1000000000, "A b", "x", "y")))),
                  "billion.xlsx:32771:1: the sheet has more than 32770 rows");
    testing_support::writeZip(
        work.filePath("repeat.ods"),
        {{"content.xml",
          testing_support::odsContent(
              "<table:table-row><table:table-cell><text:p>name</text:p></table:table-cell>"
              "<table:table-cell><text:p>Hairs</text:p></table:table-cell></table:table-row>"
              "<table:table-row table:number-rows-repeated=\"1000000000\"><table:table-cell>"
              "<text:p>A b</text:p></table:table-cell></table:table-row>")}});
    expectRefused(work.filePath("repeat.ods"), "repeat.ods:32771:1: the sheet has more than");
    // A cell of 100 MB inside the archive, and one too long in a csv file.
    expectRefused(xlsx("cell.xlsx", testing_support::xlsxEntries(sheetRows(
                                        "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>" +
                                        QByteArray(100 << 20, 'x') + "</t></is></c></row>"))),
                  "the archive expands to more than");
    testing_support::writeFile(work.filePath("long.csv"),
                               "name,Hairs\nA b," + QByteArray(5000, 'x') + "\n");
    expectRefused(work.filePath("long.csv"), "long.csv:2:2: a cell of more than 4096 characters");
    // A file named .xlsx that is no zip; entries and sheets named outside the archive.
    testing_support::writeFile(work.filePath("fake.xlsx"), "name,Hairs\nA b,x\n");
    expectRefused(work.filePath("fake.xlsx"), "fake.xlsx: not a spreadsheet (not a zip archive)");
    testing_support::ZipEntries escape = testing_support::xlsxEntries(sheetRows({}));
    escape.append(std::pair<QString, QByteArray>("../../evil.xml", "x"));
    expectRefused(xlsx("entry.xlsx", escape), "an entry named outside it: ../../evil.xml");
    testing_support::ZipEntries target = testing_support::xlsxEntries(sheetRows({}));
    target[2].second.replace("worksheets/sheet1.xml", "../../../sheet1.xml");
    expectRefused(xlsx("target.xlsx", target), "the workbook's sheet lies outside the archive");
    // A shared string that does not exist; a formula without its value.
    expectRefused(
        xlsx("shared.xlsx", testing_support::xlsxEntries(
                                sheetRows("<row r=\"2\"><c r=\"B2\" t=\"s\"><v>7</v></c></row>"),
                                "<sst><si><t>x</t></si></sst>")),
        "a shared string that does not exist");
    expectRefused(xlsx("formula.xlsx", testing_support::xlsxEntries(sheetRows(
                                           "<row r=\"2\"><c r=\"C2\"><f>1+2</f></c></row>"))),
                  "formula.xlsx:2:3: a formula without a stored value");
    // Not a matrix: a row without a name, two columns of one header.
    testing_support::writeFile(work.filePath("noname.csv"), "name,Hairs\nA b,x\n,y\n");
    expectRefused(work.filePath("noname.csv"), "noname.csv:3:1: a row without a taxon name");
    testing_support::writeFile(work.filePath("twice.csv"), "name,Hairs,Hairs\nA b,x,y\n");
    expectRefused(work.filePath("twice.csv"), "twice.csv:1:3: a second column headed \"Hairs\"");
}

TEST(TableImport, FormulasGiveTheirValuesAndMergedCellsCoverTheirArea) {
    QTemporaryDir work;
    // Hairs and Spines share a merged group heading; the taxa's Spines are formulas.
    const QByteArray rows =
        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>#group</t></is></c>"
        "<c r=\"B2\" t=\"inlineStr\"><is><t>Surface</t></is></c></row>" +
        taxon(3, "Alpha one", "dense", "") + taxon(4, "Beta two", "none", "") +
        "<row r=\"5\"><c r=\"A5\" t=\"inlineStr\"><is><t>Gamma three</t></is></c>"
        "<c r=\"B5\" t=\"inlineStr\"><is><t>dense</t></is></c>"
        "<c r=\"C5\" t=\"str\"><f>\"long\"</f><v>long</v></c></row>";
    QByteArray sheet = sheetRows(rows);
    sheet.replace("</sheetData>",
                  "<row r=\"3\"><c r=\"C3\"><f>2+1</f><v>short</v></c></row></sheetData>"
                  "<mergeCells count=\"1\"><mergeCell ref=\"B2:C2\"/></mergeCells>");
    ASSERT_TRUE(
        testing_support::writeZip(work.filePath("m.xlsx"), testing_support::xlsxEntries(sheet)));
    const ToolRun r = vkb({"import", "table", work.filePath("m.xlsx"), work.filePath("out")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString source = QString::fromUtf8(bytes(work.filePath("out/source/kb.txt")));
    EXPECT_EQ(source.count("group \"Surface\""), 2) << source.toStdString();
    const QString map = QString::fromUtf8(bytes(work.filePath("out/import-map.tsv")));
    EXPECT_TRUE(map.contains("Spines:long") && map.contains("Spines:short")) << map.toStdString();
}

}  // namespace
