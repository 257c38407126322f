#include "authoring/import/deltareader.h"
#include "authoring/import/sddreader.h"
#include "support/importdatasets.h"
#include "support/sdddatasets.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cmath>

namespace {

struct ToolRun {
    int exitCode = -1;
    QStringList out;
    QString err;
    QString lastError;
};

ToolRun vkb(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VIREKA_KB_PATH), args);
    ToolRun r;
    if (!p.waitForFinished(120000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    // Qt may warn about the environment first; the tool's own message is the last line.
    r.lastError = r.err.trimmed().section('\n', -1);
    return r;
}

QString text(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The knowledge base written by an import, read back through its map.
struct Imported {
    QString out;
    QStringList mapLines;
    QHash<QString, int> stateIndex;  // key -> state number
    int stateCount = 0;

    explicit Imported(const QString& folder) : out(folder) {
        mapLines = text(out + "/import-map.tsv").split('\n', Qt::SkipEmptyParts);
        for (const QString& l : mapLines) {
            const QStringList f = l.split('\t');
            if (f[0] == "state") stateIndex[f[2]] = f[3].toInt(), ++stateCount;
        }
    }
    QStringList base(const QString& command) const {
        return {command, "--data", out, "--base", "vireka.db"};
    }
    // Every state of `keys` chosen, through an identification file.
    QString qnt(const QStringList& keys) const {
        QByteArray bytes((stateCount + 1) * 2, 0);
        for (const QString& k : keys) bytes[stateIndex.value(k) * 2] = 1;
        const QString path = out + "/self.qnt";
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
        return path;
    }
    // The folders are named relative to the data folder, as the base is.
    bool checks() const {
        const ToolRun r = vkb(base("check") << "--descriptors"
                                            << "choices"
                                            << "--documents"
                                            << "documents"
                                            << "--drawings"
                                            << "drawings");
        EXPECT_EQ(r.exitCode, 0) << r.out.join('\n').toStdString() << r.err.toStdString();
        return r.exitCode == 0;
    }
    // Each species, described through an identification file with every state it shows in
    // the questions of the dataset's multistate characters, ranks itself at 100 %. The
    // questions and the states' numbers come from the import map, what each species shows
    // from the source written: the real tool is run once per species.
    void ranksItself(const authoring::Dataset& data) const {
        QSet<QString> multistate;  // question keys
        for (const QString& l : mapLines) {
            const QStringList f = l.split('\t');
            if (f[0] != "question") continue;
            for (const authoring::Character& c : data.characters)
                if (c.id == f[1] && c.isMultistate()) multistate.insert(f[2]);
        }
        ASSERT_FALSE(multistate.isEmpty());
        QList<QPair<QString, QStringList>> shows;  // species name -> keys
        QHash<QString, QString> questionOf;        // state -> question
        QString question;
        for (const QString& line : text(out + "/source/kb.txt").split('\n')) {
            if (line.startsWith("question ")) question = line.section(' ', 1, 1);
            if (line.startsWith("  state ")) questionOf[line.section(' ', 3, 3)] = question;
            if (line.startsWith("species "))
                shows.append({line.section('"', 1, -2).replace("\\\"", "\""), {}});
            if (line.startsWith("  shows "))
                for (const QString& k : line.mid(8).split(' '))
                    if (multistate.contains(questionOf.value(k))) shows.last().second << k;
        }
        ASSERT_EQ(shows.size(), data.items.size());
        for (const auto& [name, keys] : shows) {
            const ToolRun r = vkb(base("rank") << "--qnt" << qnt(keys) << "--threshold"
                                               << "100");
            // A line may say how many of the answers the taxon leaves uncoded.
            const QRegularExpression line("^ 100% - " + QRegularExpression::escape(name) +
                                          "( \\(\\d+ unknown\\))?$");
            EXPECT_FALSE(r.out.filter(line).isEmpty())
                << name.toStdString() << " " << keys.join(' ').toStdString() << "\n"
                << r.out.join('\n').toStdString() << r.err.toStdString();
        }
    }
    // Names of the species in the dataset's order of items, as the source writes them.
    QStringList speciesNames() const {
        QStringList names;
        for (const QString& line : text(out + "/source/kb.txt").split('\n'))
            if (line.startsWith("species "))
                names << line.section('"', 1, -2).replace("\\\"", "\"");
        return names;
    }
    // Each species answered, for each numeric question, with the state whose label covers a
    // value it has (its usual range's ends and middle, its extremes, each value of a list)
    // ranks at 100 %. The state is found from the label's words alone, and exactly one label
    // must cover the value.
    void ranksAtItsValues(const authoring::Dataset& data) const {
        QHash<QString, QList<QPair<QString, QString>>> statesOf;  // character id -> (label, key)
        QHash<QString, int> numericCharacter;                     // character id -> index
        for (int c = 0; c < data.characters.size(); ++c)
            if (data.characters[c].isNumeric()) numericCharacter[data.characters[c].id] = c;
        for (const QString& l : mapLines) {
            const QStringList f = l.split('\t');
            if (f[0] != "state") continue;
            const QString id = f[1].section(':', 0, 0);
            if (numericCharacter.contains(id))
                statesOf[id] << qMakePair(f[1].mid(id.size() + 1), f[2]);
        }
        ASSERT_FALSE(statesOf.isEmpty());
        const QStringList names = speciesNames();
        ASSERT_EQ(names.size(), data.items.size());
        for (int i = 0; i < data.items.size(); ++i) {
            for (int probe = 0; probe < 5; ++probe) {
                for (int which = 0; which < 4; ++which) {
                    QStringList keys;
                    QStringList told;
                    for (auto q = statesOf.cbegin(); q != statesOf.cend(); ++q) {
                        const int c = numericCharacter[q.key()];
                        const authoring::Attribute a = data.items[i].attributes.value(c);
                        if (a.kind != authoring::Attribute::Coded || which >= a.ranges.size())
                            continue;
                        const double v =
                            probeValue(a.ranges[which], probe,
                                       data.characters[c].type == authoring::Character::Integer);
                        QStringList covering;
                        for (const auto& [label, key] : q.value())
                            if (labelCovers(label, v)) covering << key;
                        EXPECT_EQ(covering.size(), 1) << q.key().toStdString() << " " << v;
                        keys += covering;
                        told << QStringLiteral("%1=%2").arg(q.key()).arg(v);
                    }
                    if (keys.isEmpty()) continue;
                    const ToolRun r = vkb(base("rank") << "--qnt" << qnt(keys) << "--threshold"
                                                       << "100");
                    EXPECT_TRUE(r.out.contains(" 100% - " + names[i]))
                        << names[i].toStdString() << " " << told.join(' ').toStdString() << " "
                        << keys.join(' ').toStdString() << "\n"
                        << r.out.join('\n').toStdString();
                }
            }
        }
    }
    // The species answered, for one numeric character, with the state whose label covers
    // `value` ranks at 100 %.
    void ranksAt(const QString& species, const QString& character, double value) const {
        QStringList keys;
        for (const QString& l : mapLines) {
            const QStringList f = l.split('\t');
            if (f[0] == "state" && f[1].startsWith(character + ":") &&
                labelCovers(f[1].mid(character.size() + 1), value))
                keys << f[2];
        }
        ASSERT_EQ(keys.size(), 1) << character.toStdString() << " " << value;
        const ToolRun r = vkb(base("rank") << "--qnt" << qnt(keys) << "--threshold"
                                           << "100");
        EXPECT_TRUE(r.out.contains(" 100% - " + species))
            << species.toStdString() << " " << value << "\n"
            << r.out.join('\n').toStdString();
    }
    static double probeValue(const authoring::NumericRange& r, int probe, bool whole) {
        switch (probe) {
            case 0:
                return r.low;
            case 1:
                return r.high;
            case 2:
                return whole ? std::floor((r.low + r.high) / 2) : (r.low + r.high) / 2;
            case 3:
                return r.lowest();
            default:
                return r.highest();
        }
    }
    // Reads "less than 5 mm", "5 to less than 10 mm", "10 mm or more", "up to 4", "5 to 9",
    // "more than 5, up to 10", "more than 5 and less than 10", "more than 5", "2.5 cm".
    static bool labelCovers(const QString& label, double v) {
        const QString n = QStringLiteral("(-?[0-9]+(?:\\.[0-9]+)?(?:e[-+]?[0-9]+)?)");
        const auto m = [&label, &n](const QString& pattern) {
            return QRegularExpression("^" + pattern.arg(n) + "(?: |$)").match(label);
        };
        QRegularExpressionMatch x;
        const auto d = [&x](int k) { return x.captured(k).toDouble(); };
        if ((x = m("more than %1, up to %1")).hasMatch()) return v > d(1) && v <= d(2);
        if ((x = m("more than %1 and less than %1")).hasMatch()) return v > d(1) && v < d(2);
        if ((x = m("more than %1")).hasMatch()) return v > d(1);
        if ((x = m("less than %1")).hasMatch()) return v < d(1);
        if ((x = m("up to %1")).hasMatch()) return v <= d(1);
        if ((x = m("%1 to less than %1")).hasMatch()) return v >= d(1) && v < d(2);
        if ((x = m("%1 to %1")).hasMatch()) return v >= d(1) && v <= d(2);
        if (label.endsWith(" or more") && (x = m("%1")).hasMatch()) return v >= d(1);
        if ((x = m("%1")).hasMatch()) return v == d(1);
        ADD_FAILURE() << "a label that says no values: " << label.toStdString();
        return false;
    }
};

}  // namespace

TEST(Import, ADeltaDatasetBecomesASourceABaseAndAMap) {
    QTemporaryDir dir;
    testing_support::writeDeltaGrasses(dir.path() + "/grasses");
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "delta", dir.path() + "/grasses", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_GE(r.out.size(), 3);
    // The host of 40 states is a question like any other.
    EXPECT_EQ(r.out[0], out + ": 5 species, 8 questions, 61 states; 1 character left out");
    EXPECT_EQ(r.out[1], "  left out: character 5 (Habitat): text character");

    const Imported kb(out);
    // Species in name order, states in number order.
    EXPECT_TRUE(kb.mapLines.contains("species\t1\tBAMVU\t0"));
    EXPECT_TRUE(kb.mapLines.contains("species\t4\tFESEL\t1"));
    EXPECT_TRUE(kb.mapLines.contains("species\t3\tPOAA1\t3"));
    EXPECT_TRUE(kb.mapLines.contains("question\t3\tC3\t2"));
    EXPECT_TRUE(kb.mapLines.contains("state\t1:2\tC1_2\t1"));
    EXPECT_TRUE(kb.mapLines.contains("state\t2:less than 20 cm high\tC2_1\t2"));
    EXPECT_TRUE(kb.checks());
    authoring::Dataset data;
    ASSERT_TRUE(authoring::DeltaReader().read(dir.path() + "/grasses", data));
    kb.ranksItself(data);
    kb.ranksAtItsValues(data);

    const QString page = text(out + "/documents/b/bamvu/bamvu_en.html");
    EXPECT_TRUE(page.contains("<h1><i>Bambusa vulgaris</i></h1>"));
    EXPECT_TRUE(page.contains("(200&ndash;)500&ndash;1500(&ndash;2000) cm high"));
    EXPECT_TRUE(page.contains("in thickets near rivers"));
    EXPECT_TRUE(page.contains("host 1"));  // left out of the questions, kept in the document
    // Pictures of choices made of texts are kept with a palette.
    EXPECT_EQ(QImage(out + "/choices/c1.png").format(), QImage::Format_Indexed8);
    // Toolbar buttons of two questions on culms are told apart.
    const QString source = text(out + "/source/kb.txt");
    EXPECT_TRUE(source.contains("button deter \"Culms\" key C1 ")) << source.toStdString();
    EXPECT_TRUE(source.contains("button deter \"Mature culms\" key C2 "));
    // The source is an author's to edit and rebuild.
    const ToolRun rebuilt =
        vkb({"build", out + "/source", dir.path() + "/rebuilt", "--no-page-pictures"});
    EXPECT_EQ(rebuilt.exitCode, 0) << rebuilt.err.toStdString();
}

TEST(Import, AnSddFileBecomesABaseWithItsPictures) {
    QTemporaryDir dir;
    testing_support::writeSddViolets(dir.path());
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "sdd", dir.path() + "/violets.sdd.xml", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString all = r.out.join('\n');
    EXPECT_TRUE(all.contains("left out: character c3 (Habitat): text character"));
    EXPECT_TRUE(all.contains("note: state s2: picture")) << all.toStdString();  // broken.png
    EXPECT_TRUE(all.contains("Viola odorata is kept as Viola odorata (2)") ||
                all.contains("kept as Viola odorata (2)"));
    const Imported kb(out);
    EXPECT_TRUE(kb.mapLines.contains("question\tQ\tQ_2\t1"));
    EXPECT_TRUE(QFileInfo::exists(out + "/source/pictures/s1.png"));
    EXPECT_TRUE(kb.checks());
    authoring::Dataset data;
    ASSERT_TRUE(authoring::SddReader().read(dir.path() + "/violets.sdd.xml", data));
    kb.ranksItself(data);
    const QString page = text(out + "/documents/v/viohe/viohe_en.html");
    EXPECT_TRUE(page.contains("<i>Viola hederacea</i> Labill."));
    EXPECT_TRUE(page.contains("<img src=\"picture_1.png\""));
    EXPECT_TRUE(QFileInfo::exists(out + "/documents/v/viohe/picture_1.png"));
}

// Labels may carry escaped markup; once decoded, what is not an inline tag of a name is text.
TEST(Import, AnSddLabelWithAnUnclosedTagIsWrittenAsText) {
    QTemporaryDir dir;
    QFile sdd(dir.path() + "/hostile.sdd.xml");
    ASSERT_TRUE(sdd.open(QIODevice::WriteOnly));
    sdd.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<Datasets xmlns="http://rs.tdwg.org/UBIF/2006/"><Dataset xml:lang="en">
 <Representation><Label>Hostile</Label></Representation>
 <TaxonNames>
  <TaxonName id="t1"><Representation><Label>Viola &lt;img src=x onerror=alert(1)//</Label></Representation></TaxonName>
  <TaxonName id="t2"><Representation><Label>&lt;i&gt;Viola&lt;/i&gt; &lt;b&gt;alba &amp;amp; co</Label></Representation></TaxonName>
 </TaxonNames>
 <Characters><CategoricalCharacter id="c1"><Representation><Label>Petal</Label></Representation>
  <States>
   <StateDefinition id="s1"><Representation><Label>white</Label></Representation></StateDefinition>
   <StateDefinition id="s2"><Representation><Label>blue</Label></Representation></StateDefinition>
  </States></CategoricalCharacter></Characters>
 <CodedDescriptions>
  <CodedDescription id="d1"><Representation><Label>one</Label></Representation><Scope><TaxonName ref="t1"/></Scope>
   <SummaryData><Categorical ref="c1"><State ref="s1"/></Categorical></SummaryData></CodedDescription>
  <CodedDescription id="d2"><Representation><Label>two</Label></Representation><Scope><TaxonName ref="t2"/></Scope>
   <SummaryData><Categorical ref="c1"><State ref="s2"/></Categorical></SummaryData></CodedDescription>
 </CodedDescriptions>
</Dataset></Datasets>
)");
    sdd.close();
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "sdd", sdd.fileName(), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList pages;  // the species' own pages, then every page
    QString all;
    for (QDirIterator it(out + "/documents", {"*.html"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString page = text(it.next());
        if (it.fileName().endsWith("_en.html") && !it.fileName().startsWith("dessin_"))
            pages << page;
        all += page;
    }
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(all.contains("<h1>Viola &lt;img src=x onerror=alert(1)//</h1>"))
        << all.toStdString();
    EXPECT_FALSE(all.contains("<img src=x"));
    // The name's own italics and bold stay, closed before the heading ends.
    EXPECT_TRUE(all.contains("<h1><i>Viola</i> <b>alba &amp; co</b></h1>")) << all.toStdString();
}

TEST(Import, AnUnreadableDatasetLeavesNothingBehind) {
    QTemporaryDir dir;
    testing_support::writeDeltaGrasses(dir.path() + "/grasses");
    testing_support::writeFile(dir.path() + "/grasses/items",
                               "*ITEM DESCRIPTIONS\n# Poa/ 1,1\n# Zea 1,2\n");
    const QString out = dir.path() + "/out";
    ToolRun r = vkb({"import", "delta", dir.path() + "/grasses", out});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.lastError, "items:3: the item name does not end with '/'");
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"grasses"});
    // An SDD file cut short is reported at its line.
    testing_support::writeSddViolets(dir.path() + "/sdd");
    QFile f(dir.path() + "/sdd/violets.sdd.xml");
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.resize(3000);
    f.close();
    r = vkb({"import", "sdd", dir.path() + "/sdd/violets.sdd.xml", out});
    EXPECT_EQ(r.exitCode, 2);
    const QRegularExpression place("^" + QRegularExpression::escape(dir.path()) +
                                   "/sdd/violets.sdd.xml:[0-9]+: ");
    EXPECT_TRUE(place.match(r.lastError).hasMatch()) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(Import, ArgumentsAndAFolderInUseAreRefused) {
    QTemporaryDir dir;
    testing_support::writeDeltaGrasses(dir.path() + "/grasses");
    testing_support::writeFile(dir.path() + "/out/keep.txt", "mine");
    ToolRun r = vkb({"import", "delta", dir.path() + "/grasses", dir.path() + "/out"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("exists and is not an empty folder"));
    EXPECT_EQ(text(dir.path() + "/out/keep.txt"), "mine");
    EXPECT_EQ(vkb({"import", "nexus", dir.path() + "/grasses", dir.path() + "/o2"}).exitCode, 2);
    EXPECT_EQ(vkb({"import", "delta", dir.path() + "/grasses"}).exitCode, 2);
    r = vkb({"import", "delta", dir.path() + "/grasses", dir.path() + "/o3", "--family-character",
             "99"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("no character 99"));
    EXPECT_EQ(vkb({"import", "--help"}).exitCode, 0);
    // A language is chosen among an SDD file's labels; DELTA has none to choose.
    EXPECT_EQ(
        vkb({"import", "delta", dir.path() + "/grasses", dir.path() + "/o4", "--language", "nl"})
            .exitCode,
        2);
}

TEST(Import, AnOddlyWrittenDeltaDatasetImportsSensibly) {
    QTemporaryDir dir;
    testing_support::writeDeltaOdd(dir.path() + "/odd");
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "delta", dir.path() + "/odd", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString all = r.out.join('\n');
    EXPECT_TRUE(all.startsWith(out + ": 12 species, 8 questions")) << all.toStdString();
    // Past the largest grid a picture of choices can hold, a character is still asked: the
    // program lists its states.
    EXPECT_FALSE(all.contains("character 5 (Pollinator)")) << all.toStdString();
    EXPECT_FALSE(all.contains("character 9 (Host plants)"));
    EXPECT_TRUE(all.contains("left out: character 8 (Notes): text character"));
    const Imported kb(out);
    // Key states: states 1-2 of character 3 are one state; numeric ones keep their bounds.
    EXPECT_TRUE(kb.mapLines.contains("state\t3:1&2\tC3_1_2\t4"))
        << kb.mapLines.join('\n').toStdString();
    EXPECT_TRUE(
        kb.mapLines.contains("state\t4:-25 to less than -5 \xc2\xb0"
                             "C\tC4_2\t8"));
    const QString source = text(out + "/source/kb.txt");
    EXPECT_TRUE(
        source.contains("question C1 \"Habit (of the mature plant)\"\n  grid 1 2\n  weight 1\n  "
                        "group \"habit\"\n"))
        << source.left(600).toStdString();
    EXPECT_TRUE(source.contains("group \"flowers\""));
    EXPECT_TRUE(source.contains(QString::fromUtf8("state C1_1 \"tree\"")));
    EXPECT_TRUE(source.contains(QString::fromUtf8("\"Potentilla érecta (Auth. 10)\"")) ||
                source.contains(QString::fromUtf8("\"Potentilla érecta\"")));
    EXPECT_TRUE(source.contains("\"Rosa arvensis\""));
    EXPECT_TRUE(kb.checks());
    authoring::Dataset data;
    ASSERT_TRUE(authoring::DeltaReader().read(dir.path() + "/odd", data));
    kb.ranksItself(data);
    kb.ranksAtItsValues(data);  // key states with gaps between them
    const QString page = text(out + "/documents/r/rosca/rosca_en.html");
    EXPECT_TRUE(page.contains(QString::fromUtf8("on “chalk”"))) << page.toStdString();
    EXPECT_TRUE(page.contains(QString::fromUtf8("20&ndash;30")));
}

TEST(Import, AnOddlyWrittenSddFileImportsSensibly) {
    QTemporaryDir dir;
    testing_support::writeSddOdd(dir.path());
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "sdd", dir.path() + "/odd.sdd.xml", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString all = r.out.join('\n');
    EXPECT_TRUE(all.startsWith(out + ": 6 species, 4 questions")) << all.toStdString();
    EXPECT_FALSE(all.contains("left out: character H"));  // 500 states are kept
    EXPECT_TRUE(all.contains("kept as Carex panicea (2)"));
    const Imported kb(out);
    EXPECT_TRUE(kb.mapLines.contains("question\tC1\tC1_2\t1"))
        << kb.mapLines.join('\n').toStdString();
    const QString source = text(out + "/source/kb.txt");
    EXPECT_TRUE(source.contains(QString::fromUtf8("title \"Sedges à l'essai\"")));
    EXPECT_TRUE(source.contains(QString::fromUtf8("species CAREL \"Carex élata\"")))
        << source.toStdString();
    EXPECT_TRUE(source.contains("\"Carex flava\""));
    EXPECT_TRUE(kb.checks());
    authoring::Dataset data;
    ASSERT_TRUE(authoring::SddReader().read(dir.path() + "/odd.sdd.xml", data));
    kb.ranksItself(data);
}

// Whatever is wrong in a dataset, the import says where, exits 2 and leaves OUT absent.
TEST(Import, BrokenDatasetsAreReportedAtTheirLine) {
    QTemporaryDir dir;
    const QString out = dir.path() + "/out";
    struct Case {
        const char* file;
        QByteArray bytes;
        QString message;
    };
    const QList<Case> cases{
        {"items", "*ITEM DESCRIPTIONS\r\n# A/ 1,1\r\n\r\n# B/ 1<open <nested>,2\r\n",
         "items:4: a comment is not closed"},
        {"chars", "*CHARACTER LIST\n#1. a/ 1. x/ 2. y/\n#x. b/\n",
         "chars:3: expected a character number after '#'"},
        {"specs", "*NUMBER OF CHARACTERS 0\n", "specs:1: NUMBER OF CHARACTERS must be 1 to 100000"},
        {"tokey", "*KEY STATES\n 1,1-2/9\n", "tokey:2: character 1: cannot read key state '9'"},
        {"specs", "*KEYWORD CHARACTERS #leaves 1-2\n", "specs:1: a keyword does not end with '/'"},
        // Found by the fuzz target: nothing to ask made a source its compiler refused.
        {"specs", "*CHARACTER TYPES 1,TE\n",
         dir.path() + "/d: no character can become a question; each is left out"},
        {"chars", QByteArray("*CHARACTER LIST\n\x00\x01\xff\xfe binary\n", 28),
         "chars:2: expected '#' and a character number"}};
    for (const Case& c : cases) {
        const QString data = dir.path() + "/d";
        QDir(data).removeRecursively();
        testing_support::writeFile(data + "/chars", "*CHARACTER LIST\n#1. a/ 1. x/ 2. y/\n");
        testing_support::writeFile(data + "/items", "*ITEM DESCRIPTIONS\n# A/ 1,1\n# B/ 1,2\n");
        testing_support::writeFile(data + "/" + c.file, c.bytes);
        const ToolRun r = vkb({"import", "delta", data, out});
        EXPECT_EQ(r.exitCode, 2) << c.message.toStdString();
        EXPECT_EQ(r.lastError, c.message);
        EXPECT_FALSE(QFileInfo::exists(out));
    }
    // The same folder, mended, imports; the summary counts in words that agree.
    testing_support::writeFile(dir.path() + "/d/chars", "*CHARACTER LIST\n#1. a/ 1. x/ 2. y/\n");
    testing_support::writeFile(dir.path() + "/d/specs", "");
    testing_support::writeFile(dir.path() + "/d/tokey", "");
    const ToolRun r = vkb({"import", "delta", dir.path() + "/d", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.value(0), out + ": 2 species, 1 question, 2 states; 0 characters left out");
}

// A published flora's shapes: labels with angle brackets and repeats, many states, web media,
// groups in a second tree, two languages. Everything usable is kept and every question reads
// differently.
TEST(Import, AnSddFloraKeepsEveryCharacterAndTellsQuestionsApart) {
    QTemporaryDir dir;
    testing_support::writeSddFlora(dir.path());
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "sdd", dir.path() + "/flora.sdd.xml", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString all = r.out.join('\n');
    EXPECT_TRUE(all.startsWith(out + ": 8 species, 12 questions")) << all.toStdString();
    EXPECT_TRUE(all.contains("1 character left out")) << all.toStdString();
    EXPECT_TRUE(r.out.contains("  left out: character note (Notes): text character"));
    EXPECT_TRUE(r.out.contains("  codes no question: Hieracium nudum"));
    EXPECT_TRUE(all.contains("note: 3 media given as web addresses are kept as links"));
    const QString source = text(out + "/source/kb.txt");
    EXPECT_TRUE(source.contains("title \"Composites of the dry hills\"\n"));
    QSet<QString> texts;
    for (const QString& line : source.split('\n'))
        if (line.startsWith("question ")) {
            const QString t = line.section(' ', 2).toLower();
            EXPECT_FALSE(texts.contains(t)) << line.toStdString();
            texts.insert(t);
        }
    EXPECT_TRUE(source.contains("question host \"Host <of the gall>\"\n  grid 20 10\n"))
        << source.toStdString();
    const Imported kb(out);
    EXPECT_TRUE(kb.checks());
    authoring::Dataset data;
    ASSERT_TRUE(authoring::SddReader().read(dir.path() + "/flora.sdd.xml", data));
    kb.ranksItself(data);
    // Text stays text in the documents; web media are links, never fetched.
    const QString crepis = text(out + "/documents/c/crefo/crefo_en.html");
    EXPECT_TRUE(crepis.contains("<html lang=\"en\">"));
    EXPECT_TRUE(crepis.contains("seen &lt;rarely&gt; on chalk")) << crepis.toStdString();
    EXPECT_TRUE(
        crepis.contains("<a href=\"https://example.org/crepis.jpg?a=1&amp;b=2\">Habit</a>"));
    EXPECT_TRUE(
        crepis.contains("Hairs (<a href=\"http://example.org/hairs.png\">Hairs, "
                        "drawn</a>)"));
    const QString novum = text(out + "/documents/c/cresp/cresp_en.html");
    EXPECT_TRUE(novum.contains("<h1><i>Crepis</i> &lt;sp. nov.&gt;</h1>")) << novum.toStdString();
    EXPECT_TRUE(
        novum.contains("present (<a href=\"https://example.org/present.png\">https://example.org/"
                       "present.png</a>)"));
    EXPECT_FALSE(QImage(out + "/choices/host.png").isNull());

    // The labels of another language, where the file has them.
    const QString dutch = dir.path() + "/nl";
    ASSERT_EQ(
        vkb({"import", "sdd", dir.path() + "/flora.sdd.xml", dutch, "--language", "nl"}).exitCode,
        0);
    EXPECT_TRUE(
        text(dutch + "/source/kb.txt").contains("title \"Composieten van de droge heuvels\"\n"));
    EXPECT_TRUE(text(dutch + "/source/kb.txt").contains("question hair \"Haren\"\n"));
    EXPECT_TRUE(text(dutch + "/documents/c/crefo/crefo_en.html").contains("<html lang=\"nl\">"));
}

// Past 327 questions (once the most a 16-bit score could hold) every character is kept, the
// base passes the check and a taxon described whole still ranks itself first at 100 %.
TEST(Import, AKeyOfManyQuestionsKeepsThemAllAndRanksExactly) {
    QTemporaryDir dir;
    testing_support::writeSddMany(dir.path(), 400);
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "sdd", dir.path() + "/many.sdd.xml", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.value(0),
              out + ": 6 species, 400 questions, 800 states; 0 characters left out");
    const Imported kb(out);
    EXPECT_TRUE(kb.checks());
    authoring::Dataset data;
    ASSERT_TRUE(authoring::SddReader().read(dir.path() + "/many.sdd.xml", data));
    kb.ranksItself(data);
    const ToolRun rebuilt =
        vkb({"build", out + "/source", dir.path() + "/rebuilt", "--no-page-pictures"});
    EXPECT_EQ(rebuilt.exitCode, 0) << rebuilt.err.toStdString();
}

// Odd but legal DELTA: angle brackets that open no comment, codes in inner comments,
// headings, notes and pictures in files of their own, values on bounds, extremes and lists.
TEST(Import, ADeltaDatasetWithOddButLegalSyntaxImportsWhole) {
    QTemporaryDir dir;
    testing_support::writeDeltaMountain(dir.path() + "/mountain");
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "delta", dir.path() + "/mountain", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString all = r.out.join('\n');
    EXPECT_TRUE(all.startsWith(out + ": 8 species, 9 questions")) << all.toStdString();
    EXPECT_TRUE(all.contains("left out: character 10 (Remarks): text character"))
        << all.toStdString();
    EXPECT_TRUE(all.contains("character 8, state 3: picture colours.png places only its label"));
    const Imported kb(out);
    EXPECT_TRUE(kb.checks());
    authoring::Dataset data;
    ASSERT_TRUE(authoring::DeltaReader().read(dir.path() + "/mountain", data));
    kb.ranksItself(data);
    kb.ranksAtItsValues(data);
    // Extremes and lists, from the dataset's own figures.
    kb.ranksAt("Gentiana verna", "6", 1);  // (1-)2.5-4(-6)
    kb.ranksAt("Gentiana verna", "6", 6);
    kb.ranksAt("Silene acaulis", "5", 3);  // (0.8-)1-1.5(-3)
    kb.ranksAt("Silene acaulis", "5", 0.8);
    kb.ranksAt("Silene acaulis", "7", 43);     // 30&35&43&56
    kb.ranksAt("Viola biflora", "4", 15);      // (15-)20
    kb.ranksAt("Primula farinosa", "5", 7.5);  // 5&7.5
    kb.ranksAt("Silene uralensis subsp. uralensis", "5", 0.6);
    kb.ranksAt("Silene uralensis subsp. uralensis", "6", 2);  // on a shared bound

    const QString source = text(out + "/source/kb.txt");
    QStringList questions;
    for (const QString& line : source.split('\n')) {
        if (!line.startsWith("question ") && !line.startsWith("  state ") &&
            !line.startsWith("button deter "))
            continue;
        const QString words = line.section('"', 1, 1);
        if (line.startsWith("question ")) questions << words;
        EXPECT_FALSE(words.contains("((") || words.contains('~') || words.contains("Af") ||
                     words.contains("Rd2") || words.startsWith(')'))
            << line.toStdString();
    }
    EXPECT_EQ(QSet<QString>(questions.cbegin(), questions.cend()).size(), questions.size());
    EXPECT_TRUE(source.contains("state C2_1 \"few (<3) families susceptible\""));
    EXPECT_TRUE(source.contains("state C3_2 \"linear\""));
    EXPECT_TRUE(source.contains("question C1 \"Plants\""));
    EXPECT_TRUE(source.contains("group \"Flowers and fruits\""));
    EXPECT_TRUE(source.contains("tip \"Petals (number): Count the petals of open flowers"))
        << source.toStdString();
    EXPECT_TRUE(QFileInfo::exists(out + "/source/pictures/c8_2.png"));
    EXPECT_FALSE(QFileInfo::exists(out + "/source/pictures/c8_3.png"));
    EXPECT_TRUE(source.contains("\"Silene uralensis subsp. uralensis\""));

    const QString page = text(out + "/documents/s/silur/silur_en.html");
    EXPECT_TRUE(page.contains("(Rupr.) Bocquet")) << page.toStdString();
    EXPECT_FALSE(page.contains("Bocquet&gt;"));
    EXPECT_TRUE(page.contains("<i>Measures</i>"));
    EXPECT_TRUE(page.contains("Notes on the characters"));
    EXPECT_TRUE(page.contains("Measured when ripe, across the widest part"));
    EXPECT_TRUE(page.contains("petals (&lt;3 mm) pale"));
    const QString gentiana = text(out + "/documents/g/genve/genve_en.html");
    EXPECT_TRUE(gentiana.contains("(1&ndash;)2.5&ndash;4(&ndash;6) cm")) << gentiana.toStdString();
}

// SDD summaries: the usual range decides the states a taxon shows, its extremes widen them.
TEST(Import, SddSummariesWithExtremesKeepEveryTaxonInItsUsualRange) {
    QTemporaryDir dir;
    testing_support::writeSddMeasures(dir.path());
    const QString out = dir.path() + "/out";
    const ToolRun r = vkb({"import", "sdd", dir.path() + "/measures.sdd.xml", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.join('\n').startsWith(out + ": 6 species, 3 questions"))
        << r.out.join('\n').toStdString();
    const Imported kb(out);
    EXPECT_TRUE(kb.checks());
    authoring::Dataset data;
    ASSERT_TRUE(authoring::SddReader().read(dir.path() + "/measures.sdd.xml", data));
    kb.ranksItself(data);
    kb.ranksAtItsValues(data);
    // The same, from the file's own figures rather than from what the reader made of them.
    const struct {
        const char* species;
        const char* character;
        QList<double> values;
    } seen[] = {
        {"Rumex alpinus", "len", {8, 10, 11, 12}}, {"Rumex acetosa", "len", {3.5, 5, 6.5, 9}},
        {"Rumex scutatus", "len", {2, 4}},         {"Oxyria digyna", "len", {0.6}},
        {"Rumex crispus", "len", {6, 8, 10, 15}},  {"Rumex obtusifolius", "len", {12, 20, 30}},
        {"Rumex scutatus", "wid", {4, 6, 10}},     {"Rumex acetosa", "wid", {0.2, 0.3, 0.4}},
        {"Rumex obtusifolius", "wid", {7, 10}}};
    for (const auto& s : seen)
        for (double v : s.values) kb.ranksAt(s.species, s.character, v);
}
