// Questions answered by a typed number, from the source to vireka-kb rank: the `measure` and
// `range` lines compiled into "Mesures", the values of --measure, what build refuses, what
// check reports of a table the program cannot use, and what the importers write.
#include "support/importdatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace testing_support;

namespace {

const QString Kb = QStringLiteral(VIREKA_KB_PATH);

// Three ladybirds without a drawing; LENGTH holds 2 to less than 5, 5 to less than 8, and
// 8 mm or more. Adalia is 5-7 mm, Coccinella 8-10, Psyllobora 3-5: its range reaches the
// bound 5, so it shows both states that meet there.
const char* kSource = R"(title "Three ladybirds"
documents en
language en "English"

question ELYTRA "Colour of the wing cases"
  state EL_RED    "Red"
  state EL_YELLOW "Yellow"
question LENGTH "Body length"
  measure "mm"
  state L_S "2 to less than 5 mm" range [2,5)
  state L_M "5 to less than 8 mm" range [5,8)
  state L_L "8 mm or more"        range [8,)

species ADBIP "Adalia bipunctata"
  family COCCINELLIDAE
  shows EL_RED L_M
species COSEP "Coccinella septempunctata"
  family COCCINELLIDAE
  shows EL_RED L_L
species PSYVI "Psyllobora vigintiduopunctata"
  family COCCINELLIDAE
  shows EL_YELLOW L_S L_M

button deter "Search"  key Search  icon search
button deter "Results" key Results icon results
button question "Confirm" icon ok
button question "Cancel"  icon cancel
button question "Skip"    icon skip
)";

void write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

ToolRun build(const QString& source, const QString& out) {
    return runTool(Kb, {"build", "--no-page-pictures", source, out});
}

ToolRun rank(const QString& base, const QStringList& measures, const QString& command = "rank") {
    QStringList args{command, "--data", base, "--base", "vireka.db"};
    for (const QString& m : measures) args << "--measure" << m;
    return runTool(Kb, args);
}

class KbMeasure : public ::testing::Test {
protected:
    void SetUp() override {
        write(dir.filePath("src/kb.txt"), kSource);
        const ToolRun r = build(dir.filePath("src"), base());
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    QString base() const { return dir.filePath("base"); }

    QTemporaryDir dir;
};

TEST_F(KbMeasure, ATypedValueKeepsEveryTaxonWhoseRangeReachesIt) {
    const ToolRun bound = rank(base(), {"LENGTH=5"});
    ASSERT_EQ(bound.exitCode, 0) << bound.err.toStdString();
    // 5 belongs to "5 to less than 8" alone: both taxa that reach it stay whole.
    EXPECT_TRUE(bound.out.contains("100% - Adalia bipunctata")) << bound.out.toStdString();
    EXPECT_TRUE(bound.out.contains("100% - Psyllobora vigintiduopunctata"))
        << bound.out.toStdString();
    EXPECT_FALSE(bound.out.contains("100% - Coccinella")) << bound.out.toStdString();
    // A decimal comma, blanks and a case-blind key are the same answer.
    EXPECT_EQ(rank(base(), {"length= 5,0 "}).out, bound.out);

    const ToolRun below = rank(base(), {"LENGTH=4.9"});
    EXPECT_TRUE(below.out.contains("100% - Psyllobora")) << below.out.toStdString();
    EXPECT_FALSE(below.out.contains("100% - Adalia")) << below.out.toStdString();
    // The last answer of a question wins, as a second confirmation does in the program; the
    // open last state takes every value above its bound.
    const ToolRun twice = rank(base(), {"LENGTH=4", "LENGTH=1000"});
    EXPECT_TRUE(twice.out.contains("100% - Coccinella")) << twice.out.toStdString();
    EXPECT_NE(rank(base(), {"LENGTH=4"}).out, twice.out);

    const ToolRun best = rank(base(), {"LENGTH=5"}, "best");
    EXPECT_EQ(best.exitCode, 0) << best.err.toStdString();
    EXPECT_EQ(best.out.trimmed(), "ELYTRA");
}

TEST_F(KbMeasure, AValueThatChoosesNothingStopsWithItsMessage) {
    struct Case {
        const char* measure;
        const char* message;
    };
    const Case cases[] = {{"LENGTH=1", "No state of this question holds 1."},
                          {"LENGTH=abc", "\"abc\" is not a number."},
                          {"LENGTH=", "\"\" is not a number."},
                          {"LENGTH=1e3", "\"1e3\" is not a number."},
                          {"ELYTRA=3", "no question ELYTRA is answered by a number"},
                          {"NOSUCH=3", "no question NOSUCH is answered by a number"},
                          {"LENGTH", "no question LENGTH is answered by a number"}};
    for (const Case& c : cases) {
        const ToolRun r = rank(base(), {c.measure});
        EXPECT_EQ(r.exitCode, 2) << c.measure;
        EXPECT_TRUE(r.err.contains(c.message)) << c.measure << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << c.measure;
    }
}

TEST_F(KbMeasure, CheckNamesATableTheProgramCannotUseAndRankGoesOnWithout) {
    const ToolRun sound = runTool(Kb, {"check", "--data", base(), "--base", "vireka.db"});
    EXPECT_EQ(sound.exitCode, 0) << sound.out.toStdString();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(base()).filePath("vireka.db").toUtf8().constData(), &db),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE \"Mesures\" SET \"Bas\" = 4 WHERE \"ID_CARAC\" = 'L_M'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const ToolRun check = runTool(Kb, {"check", "--data", base(), "--base", "vireka.db"});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_TRUE(check.out.contains(
        "\"Mesures\", question LENGTH: the ranges of states L_S and L_M overlap"))
        << check.out.toStdString();
    const ToolRun r = rank(base(), {"LENGTH=4.5"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("no question LENGTH is answered by a number"))
        << r.err.toStdString();
    // Without the value the base ranks as ever.
    EXPECT_EQ(rank(base(), {}).exitCode, 0);
}

// The demo's total length is typed in millimetres: values of one range rank alike.
TEST(KbMeasureDemo, TheTotalLengthIsAnsweredInMillimetres) {
    const QString demo = QStringLiteral(VIREKA_DEMO_KB);
    const ToolRun thirty = rank(demo, {"LENGTH=30"});
    ASSERT_EQ(thirty.exitCode, 0) << thirty.err.toStdString();
    EXPECT_EQ(rank(demo, {"LENGTH=39,9"}).out, thirty.out);
    EXPECT_NE(rank(demo, {"LENGTH=40"}).out, thirty.out);
    EXPECT_NE(rank(demo, {"LENGTH=29.5"}).out, thirty.out);
    EXPECT_NE(rank(demo, {}).out, thirty.out);
    EXPECT_EQ(rank(demo, {"LENGTH=-3"}).exitCode, 0);  // the first state is open below
}

TEST(KbMeasureSource, BuildRefusesRangesThatCannotChooseOneState) {
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    };
    const Case cases[] = {
        {"  measure \"mm\"\n", "", "'range' needs a 'measure' line"},
        {" range [8,)", "", "a state of a measured question needs: range"},
        {"range [5,8)", "range [4,8)", "the range of L_M overlaps that of L_S"},
        {"range [8,)", "range [7.5,9]", "the range of L_L overlaps that of L_M"},
        {"range [5,8)", "range 5-8", "expected a range such as"},
        {"range [5,8)", "range [8,5)", "expected a range such as"},
        {"range [5,8)", "range [5,5)", "expected a range such as"},
        {"range [8,)", "range [8,]", "expected a range such as"},
        {"range [5,8)", "range [5;8)", "expected a range such as"},
        {"  measure \"mm\"\n", "  measure mm extra\n", "measure [\"unit\"]"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString text = QString::fromUtf8(kSource).replace(c.from, c.to);
        ASSERT_NE(text, QString::fromUtf8(kSource)) << c.from;
        write(dir.filePath("src/kb.txt"), text.toUtf8());
        const ToolRun r = build(dir.filePath("src"), dir.filePath("base"));
        EXPECT_EQ(r.exitCode, 1) << c.to;
        EXPECT_TRUE(r.err.contains("kb.txt:")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << c.to << ": " << r.err.toStdString();
    }
}

TEST(KbMeasureSource, ABaseWithoutMeasuresHasNoTable) {
    QTemporaryDir dir;
    const QString out = dir.filePath("base");
    ASSERT_EQ(build(QStringLiteral(VIREKA_NODRAWING_SOURCE), out).exitCode, 0);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(out).filePath("vireka.db").toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE name = 'Mesures'", -1, &st,
                       nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The importers measure every numeric character by the states they made for it: a value on
// a bound two key states share keeps every taxon whose values reach that bound.
TEST(KbMeasureImport, DeltaNumericCharactersAreAnsweredByTheirValue) {
    QTemporaryDir dir;
    writeDeltaMountain(dir.filePath("delta"));
    const QString base = dir.filePath("base");
    const ToolRun imported = runTool(Kb, {"import", "delta", dir.filePath("delta"), base});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const QString source = readAll(base + "/source/kb.txt");
    EXPECT_TRUE(source.contains("question C5 ")) << source.toStdString();
    EXPECT_TRUE(source.contains("  measure \"mm\"\n")) << source.toStdString();
    EXPECT_TRUE(source.contains("  measure \"cm\"\n")) << source.toStdString();
    EXPECT_TRUE(source.contains(" range ")) << source.toStdString();
    // Fruit diameter, KEY STATES ~2/2-5/5~: Saxifraga oppositifolia is 2-5 cm and Silene
    // acaulis 5 cm; 5 belongs to "5 or more" alone, and both reach it.
    const ToolRun five = rank(base, {"C6=5"});
    ASSERT_EQ(five.exitCode, 0) << five.err.toStdString();
    for (const char* name : {"Saxifraga oppositifolia", "Silene acaulis", "Dianthus deltoides"})
        EXPECT_TRUE(five.out.contains(QStringLiteral("100% - ") + name)) << name << "\n"
                                                                         << five.out.toStdString();
    EXPECT_FALSE(five.out.contains("100% - Carex flava")) << five.out.toStdString();
    const ToolRun two = rank(base, {"C6=2,0"});
    ASSERT_EQ(two.exitCode, 0) << two.err.toStdString();
    for (const char* name : {"Saxifraga oppositifolia", "Silene uralensis"})
        EXPECT_TRUE(two.out.contains(QStringLiteral("100% - ") + name)) << name;
    // Leaf length: every value the taxa have lies in a state.
    for (const char* value : {"0.6", "1", "2.5", "12"})
        EXPECT_EQ(rank(base, {QStringLiteral("C5=") + value}).exitCode, 0) << value;
    const ToolRun check = runTool(Kb, {"check", "--data", base, "--base", "vireka.db"});
    EXPECT_FALSE(check.out.contains("Mesures")) << check.out.toStdString();
}

TEST(KbMeasureImport, SddQuantitativeCharactersAreAnsweredByTheirValue) {
    QTemporaryDir dir;
    writeSddMeasures(dir.path());
    const QString base = dir.filePath("base");
    const ToolRun imported = runTool(Kb, {"import", "sdd", dir.filePath("measures.sdd.xml"), base});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const QString source = readAll(base + "/source/kb.txt");
    EXPECT_TRUE(source.contains("  measure \"cm\"\n")) << source.toStdString();
    // Rumex alpinus: 10-12 cm, at least 8. Every value it allows keeps it whole.
    for (const char* value : {"8", "10", "12"}) {
        const ToolRun r = rank(base, {QStringLiteral("len=") + value});
        ASSERT_EQ(r.exitCode, 0) << value << r.err.toStdString();
        EXPECT_TRUE(r.out.contains("100% - Rumex alpinus")) << value << "\n" << r.out.toStdString();
    }
}

}  // namespace
