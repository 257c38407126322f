#include "authoring/import/importmapper.h"
#include "authoring/import/deltareader.h"
#include "authoring/import/deltatext.h"
#include "authoring/import/numericstates.h"
#include "authoring/import/sddreader.h"
#include "support/importdatasets.h"
#include "support/sdddatasets.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace authoring;

namespace {

const PlannedQuestion* find(const ImportPlan& plan, const QString& key) {
    for (const PlannedQuestion& q : plan.questions)
        if (q.key == key) return &q;
    return nullptr;
}

QStringList labels(const PlannedQuestion& q) {
    QStringList out;
    for (const PlannedState& s : q.states) out << s.label;
    return out;
}

QStringList showsOf(const PlannedSpecies& s, const QString& question) {
    QStringList out;
    for (const QString& k : s.shows)
        if (k.startsWith(question + "_")) out << k;
    return out;
}

struct GrassPlan : ::testing::Test {
    QTemporaryDir dir;
    Dataset data;
    ImportPlan plan;
    void SetUp() override {
        testing_support::writeDeltaGrasses(dir.path());
        DeltaReader reader;
        ASSERT_TRUE(reader.read(dir.path(), data)) << reader.errorString().toStdString();
        plan = ImportMapper(data, ImportOptions()).plan();
    }
};

Dataset manyCharacters(int count, double reliability) {
    Dataset d;
    for (int c = 0; c < count; ++c) {
        Character ch;
        ch.id = QString::number(c + 1);
        ch.label = QStringLiteral("character %1").arg(c + 1);
        ch.states = {CharacterState{"1", "a", {}, {}}, CharacterState{"2", "b", {}, {}}};
        ch.reliability = reliability;
        d.characters << ch;
    }
    for (const char* name : {"Poa annua", "Poa annua", "Poa annuella", "POA ANNUA", "X"})
        d.items << Item{"", name, "", "", {}, {}, {}, {}};
    return d;
}

}  // namespace

TEST_F(GrassPlan, CharactersThatCannotBeAskedAreLeftOutWithTheirReason) {
    EXPECT_EQ(plan.leftOut, QStringList{"character 5 (Habitat): text character"});
    QStringList keys;
    for (const PlannedQuestion& q : plan.questions) keys << q.key;
    EXPECT_EQ(keys, (QStringList{"C1", "C2", "C3", "C4", "C6", "C7", "C8", "C9"}));
    EXPECT_EQ(find(plan, "C4")->states.size(), 40);  // many states are asked all the same
    EXPECT_EQ(find(plan, "C1")->states[1].key, "C1_2");
    EXPECT_EQ(find(plan, "C1")->group, "Culms");
    EXPECT_EQ(find(plan, "C2")->text, "(Mature) culms (maximum height)");
    EXPECT_EQ(find(plan, "C1")->weight, 10);
    EXPECT_EQ(find(plan, "C3")->weight, 5);
    EXPECT_EQ(find(plan, "C9")->weight, 1);
    EXPECT_EQ(find(plan, "C3")->conditions, QStringList{"C1_1"});
}

TEST_F(GrassPlan, NumericCharactersGetKeyStatesOrRoundRangesWithTheUnit) {
    EXPECT_EQ(labels(*find(plan, "C2")),
              (QStringList{"less than 20 cm high", "20 to less than 30 cm high",
                           "30 to less than 200 cm high", "200 cm high or more"}));
    // Whole numbers are named by the numbers each state holds: 3 belongs to "3 to 5".
    EXPECT_EQ(labels(*find(plan, "C6")), (QStringList{"up to 2", "3 to 5", "6 or more"}));
    const NumericBounds& second = *find(plan, "C6")->states[1].bounds;
    EXPECT_EQ(second.low, 3);
    EXPECT_EQ(second.high, 6);
    EXPECT_TRUE(second.lowIncluded);
    EXPECT_FALSE(second.highIncluded);
    EXPECT_FALSE(find(plan, "C1")->states[0].bounds.has_value());
    EXPECT_EQ(find(plan, "C2")->states[3].sourceId, "200 cm high or more");
}

TEST_F(GrassPlan, EachTaxonShowsWhatItsCodingAllows) {
    const PlannedSpecies& bambusa = plan.species[0];
    // 3-5 leaves: all in "3 to 5"; culms (200-)500-1500(-2000): all in "200 or more".
    EXPECT_EQ(bambusa.shows, (QStringList{"C1_1", "C2_4", "C3_1", "C3_2", "C4_1", "C6_2", "C7_3",
                                          "C7_4", "C8_2", "C9_1", "C9_2"}));
    const PlannedSpecies& poa = plan.species[1];
    EXPECT_EQ(showsOf(poa, "C2"),
              (QStringList{"C2_1", "C2_2", "C2_3"}));    // 5-40 reaches three ranges
    EXPECT_EQ(showsOf(poa, "C3"), QStringList());        // inapplicable
    EXPECT_EQ(showsOf(poa, "C8"), QStringList{"C8_1"});  // implicit value
    EXPECT_EQ(showsOf(poa, "C9"), (QStringList{"C9_1", "C9_2", "C9_3"}));      // unknown
    EXPECT_EQ(showsOf(plan.species[2], "C6"), (QStringList{"C6_1", "C6_2"}));  // 2/3
    const PlannedSpecies& festuca = plan.species[3];
    EXPECT_EQ(showsOf(festuca, "C2"), QStringList{"C2_2"});  // exactly 20
    EXPECT_EQ(showsOf(festuca, "C6").size(), 3);             // variable
    // Bark is not coded, and does not apply to herbaceous culms.
    EXPECT_EQ(showsOf(festuca, "C3"), QStringList());
    EXPECT_EQ(showsOf(plan.species[4], "C3").size(), 3);  // culms variable: bark unknown
    EXPECT_EQ(showsOf(plan.species[4], "C6"), QStringList{"C6_3"});
}

TEST_F(GrassPlan, SpeciesGetUniqueCodesNamesAndADescriptionInWords) {
    QStringList codes, names;
    for (const PlannedSpecies& s : plan.species) codes << s.code, names << s.name;
    EXPECT_EQ(codes, (QStringList{"BAMVU", "POAAL", "POAA1", "FESEL", "ZEAMA"}));
    EXPECT_EQ(names[2], "Poa alpina (Vill.)");
    EXPECT_EQ(plan.species[2].htmlName, "<i>Poa alpina</i> (Vill.)");
    EXPECT_EQ(plan.species[0].family, data.title);
    const QString& text = plan.species[0].description;
    EXPECT_TRUE(text.contains(
        QString::fromUtf8("(mature) culms (maximum height): (200–)500–1500(–2000) cm high.")));
    EXPECT_TRUE(text.contains("habitat: in thickets near rivers."));
    EXPECT_TRUE(plan.species[3].description.contains(
        "culms (whether woody or herbaceous): herbaceous (usually)."));
    EXPECT_TRUE(plan.notes.join('\n').contains("two taxa are named Poa alpina"));
}

TEST(ImportMapper, FamiliesComeFromTheCharacterNamed) {
    QTemporaryDir dir;
    testing_support::writeDeltaGrasses(dir.path());
    Dataset data;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), data));
    ImportOptions options;
    options.familyCharacter = 0;
    const ImportPlan plan = ImportMapper(data, options).plan();
    EXPECT_EQ(plan.species[0].family, "woody and persistent");
    EXPECT_EQ(plan.species[1].family, "herbaceous");
    EXPECT_EQ(plan.species[4].family, data.title);  // variable: no state to name it
}

// Scores are summed exactly past 16 bits: every character is kept and keeps its own weight.
TEST(ImportMapper, EveryCharacterKeepsItsReliabilityAsItsWeight) {
    const ImportPlan plan = ImportMapper(manyCharacters(400, 8), ImportOptions()).plan();
    EXPECT_EQ(plan.questions.size(), 400);
    EXPECT_TRUE(plan.leftOut.isEmpty()) << plan.leftOut.join('\n').toStdString();
    for (const PlannedQuestion& q : plan.questions) EXPECT_EQ(q.weight, 8);
    // A weight stays a 16-bit value, and at least 1.
    EXPECT_EQ(ImportMapper(manyCharacters(1, 1e9), ImportOptions()).plan().questions[0].weight,
              32767);
    EXPECT_EQ(ImportMapper(manyCharacters(1, 0), ImportOptions()).plan().questions[0].weight, 1);
}

TEST(ImportMapper, CodesAndNamesStayUniqueWhateverTheCase) {
    const ImportPlan plan = ImportMapper(manyCharacters(2, -1), ImportOptions()).plan();
    QStringList codes, names;
    for (const PlannedSpecies& s : plan.species) codes << s.code, names << s.name;
    EXPECT_EQ(codes, (QStringList{"POAAN", "POAA1", "POAA2", "POAA3", "XXXXX"}));
    EXPECT_EQ(names,
              (QStringList{"Poa annua", "Poa annua (2)", "Poa annuella", "POA ANNUA (3)", "X"}));
}

TEST(ImportMapper, SddIdsBecomeReadableKeysDistinctWithoutCase) {
    QTemporaryDir dir;
    testing_support::writeSddViolets(dir.path());
    Dataset data;
    SddReader reader;
    ASSERT_TRUE(reader.read(dir.path() + "/violets.sdd.xml", data));
    const ImportPlan plan = ImportMapper(data, ImportOptions()).plan();
    QStringList keys;
    for (const PlannedQuestion& q : plan.questions) keys << q.key;
    EXPECT_EQ(keys, (QStringList{"q", "Q_2", "c1", "c2", "c5"}));
    EXPECT_EQ(find(plan, "Q_2")->states[0].key, "Qs");
    EXPECT_EQ(find(plan, "Q_2")->conditions, (QStringList{"qv", "qy"}));
    EXPECT_EQ(find(plan, "c5")->conditions, QStringList{"s2"});
    EXPECT_EQ(find(plan, "c1")->group, "Leaves");
    EXPECT_EQ(labels(*find(plan, "c2")), (QStringList{"less than 5 mm", "5 to less than 15 mm",
                                                      "15 to less than 30 mm", "30 mm or more"}));
    EXPECT_EQ(plan.leftOut,
              (QStringList{"character c3 (Habitat): text character",
                           "character c4 (Leaflet count): numeric character without values"}));
    EXPECT_EQ(showsOf(plan.species[1], "c2"), QStringList{"c2_4"});  // the mean, 30, on a bound
    EXPECT_EQ(plan.species[3].name, "Viola odorata (2)");
    // Families from the taxon hierarchy; a taxon outside it takes the dataset's title.
    EXPECT_EQ(plan.species[0].family, "Violaceae");
    EXPECT_EQ(plan.species[1].family, "Violaceae");
    EXPECT_EQ(plan.species[2].family, "Violets of the test garden");
    EXPECT_TRUE(plan.questions[2].states[0].picture.endsWith("leaf.png"));
}

TEST(NumericStates, RangesHaveRoundBoundsAndPartTheTaxa) {
    QList<NumericRange> values;
    for (double v : {0.013, 0.021, 0.034, 0.052, 0.087, 0.11, 0.19, 0.26})
        values << NumericRange{v, v};
    const auto keys = numericstates::chosenRanges(values, false);
    ASSERT_EQ(keys.size(), 4);
    EXPECT_EQ(numericstates::label(keys[0], "mm"), "less than 0.03 mm");
    EXPECT_EQ(numericstates::label(keys[1], "mm"), "0.03 to less than 0.09 mm");
    EXPECT_EQ(numericstates::label(keys[3], "mm"), "0.2 mm or more");
    // Integers keep integer bounds; values all alike part nothing.
    const auto counts = numericstates::chosenRanges({{1, 2}, {2, 3}, {3, 3}, {12, 14}}, true);
    for (const KeyState& k : counts) EXPECT_EQ(k.low, std::floor(k.low));
    EXPECT_TRUE(numericstates::chosenRanges({{4, 4}, {4, 4}}, false).isEmpty());
    EXPECT_TRUE(numericstates::overlaps({3, 3}, NumericBounds{-kUnbounded, 3, true, true}));
    EXPECT_FALSE(numericstates::overlaps({3, 3}, NumericBounds{-kUnbounded, 3, true, false}));
    // Extremes reach into a state the usual range does not.
    EXPECT_TRUE(numericstates::overlaps({4, 5, 2, kNotGiven}, NumericBounds{-kUnbounded, 3}));
    EXPECT_TRUE(numericstates::overlaps({4, 5, kNotGiven, 9}, NumericBounds{9, kUnbounded}));
    EXPECT_FALSE(numericstates::overlaps({4, 5}, NumericBounds{5, 9, false, true}));
}

TEST(ImportMapper, PicturesOfChoicesKeepTheDrawingAreasShape) {
    for (int n = 3; n <= 36; ++n) {
        int rows = 0, columns = 0;
        ImportMapper::gridFor(n, rows, columns);
        EXPECT_GE(rows * columns, n);
        EXPECT_LT(rows * columns - n, columns) << n;  // no empty row
        const double aspect = columns * 240.0 / (rows * 220.0);
        EXPECT_GT(aspect, 0.9) << n;
        EXPECT_LT(aspect, 1.9) << n;
    }
    // Past a few dozen states the cells are wide texts, in at most 32 x 32 of them.
    for (int states : {40, 200, 500, 1024}) {
        int rows = 0, columns = 0;
        ImportMapper::gridFor(states, rows, columns);
        EXPECT_GE(rows * columns, states) << states;
        EXPECT_LE(rows, 32) << states;
        EXPECT_LE(columns, 32) << states;
        if (states < 1000) {
            EXPECT_GT(rows, columns) << states;
        }
    }
}

// Key states of a multistate character stand for groups of its states: a taxon shows each
// group holding one of its states, dependencies follow the groups, and a state no group holds
// rules nothing out. A numeric value between key states takes the nearest.
TEST(ImportMapper, KeyStatesGroupStatesAndCoverEveryValue) {
    QTemporaryDir dir;
    using testing_support::writeFile;
    writeFile(dir.path() + "/chars",
              "*CHARACTER LIST #1. colour/ 1. white/ 2. cream/ 3. yellow/ 4. red/ 5. blue/\n"
              "#2. length/ mm/\n#3. scent/ 1. none/ 2. sweet/\n");
    writeFile(dir.path() + "/specs", "*CHARACTER TYPES 2,RN\n*DEPENDENT CHARACTERS 1,4/5:3\n");
    writeFile(dir.path() + "/items",
              "*ITEM DESCRIPTIONS\n# A/ 1,2 2,4-6 3,1\n# B/ 1,3/4 2,12\n# C/ 1,5 2,8\n"
              "# D/ 1,1 2,1-2/30\n");
    writeFile(dir.path() + "/tokey", "*KEY STATES 1,1-2/3&4 2,~3/5-10/20~\n");
    Dataset data;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), data)) << reader.errorString().toStdString();
    const ImportPlan plan = ImportMapper(data, ImportOptions()).plan();
    ASSERT_TRUE(find(plan, "C1"));
    EXPECT_EQ(labels(*find(plan, "C1")), (QStringList{"white or cream", "yellow or red"}));
    EXPECT_EQ(find(plan, "C1")->states[1].key, "C1_3_4");
    EXPECT_EQ(find(plan, "C1")->states[1].sourceId, "3&4");
    // Scent applies under states 1-3: both groups hold one of them.
    EXPECT_EQ(find(plan, "C3")->conditions, (QStringList{"C1_1_2", "C1_3_4"}));
    EXPECT_EQ(labels(*find(plan, "C2")),
              (QStringList{"less than 4 mm", "4 to less than 15 mm", "15 mm or more"}));
    EXPECT_EQ(showsOf(plan.species[0], "C1"), QStringList{"C1_1_2"});
    EXPECT_EQ(showsOf(plan.species[0], "C2"), QStringList{"C2_2"});  // 4-6: in the gap and in 5-10
    EXPECT_EQ(showsOf(plan.species[1], "C1"), QStringList{"C1_3_4"});
    EXPECT_EQ(showsOf(plan.species[1], "C2"), QStringList{"C2_2"});  // 12 is nearer 10 than 20
    EXPECT_EQ(showsOf(plan.species[2], "C1"), (QStringList{"C1_1_2", "C1_3_4"}));  // blue
    EXPECT_EQ(showsOf(plan.species[2], "C2"), QStringList{"C2_2"});
    EXPECT_EQ(showsOf(plan.species[3], "C2"), (QStringList{"C2_1", "C2_3"}));  // 1-2 or 30
}

// No two questions read alike: each takes what tells its character apart, the group first,
// then the unit, the longer description and, past that, the identifier.
TEST(ImportMapper, QuestionsThatWouldReadAlikeAreToldApart) {
    QTemporaryDir dir;
    testing_support::writeSddFlora(dir.path());
    Dataset data;
    ASSERT_TRUE(SddReader().read(dir.path() + "/flora.sdd.xml", data));
    const ImportPlan plan = ImportMapper(data, ImportOptions()).plan();
    QStringList texts;
    for (const PlannedQuestion& q : plan.questions) texts << q.text;
    EXPECT_EQ(texts, (QStringList{"Tribe <as in the flora>", "Achenes <length>", "Achenes <width>",
                                  "Hairs (Leaves)", "Hairs (Stems)", "Leaf length (cm)",
                                  "Leaf length (mm)", "Shape (Shape of the outer bracts)",
                                  "Shape (Shape of the inner bracts)", "Colour (character colA)",
                                  "Colour (character colB)", "Host <of the gall>"}));
    // Characters of many states are kept; the text character is named by its text.
    EXPECT_EQ(find(plan, "fam")->states.size(), 40);
    EXPECT_EQ(find(plan, "host")->states.size(), 200);
    EXPECT_EQ(plan.leftOut, QStringList{"character note (Notes): text character"});
    EXPECT_EQ(plan.uncoded, QStringList{"Hieracium nudum"});

    // The same for DELTA, whose features repeat under one heading.
    Dataset delta;
    delta.format = Dataset::Delta;
    for (const char* id : {"1", "2", "3"}) {
        Character c;
        c.id = id;
        c.label = c.fullText = QStringLiteral("leaves");
        c.group = id == QByteArray("3") ? "Flowers" : "Plant";
        c.states = {CharacterState{"1", "a", {}, {}}, CharacterState{"2", "b", {}, {}}};
        delta.characters << c;
    }
    delta.items << Item{"1", "Poa", "", "", {{0, Attribute{Attribute::Coded, {0}, {}, {}}}},
                        {},  {},    {}};
    texts.clear();
    for (const PlannedQuestion& q : ImportMapper(delta, ImportOptions()).plan().questions)
        texts << q.text;
    EXPECT_EQ(texts, (QStringList{"Leaves (Plant) (character 1)", "Leaves (Plant) (character 2)",
                                  "Leaves (Flowers)"}));
}

// Each label says exactly which values its state holds, whatever bounds are in or out.
TEST(NumericStates, LabelsSayTheBoundsExactly) {
    using numericstates::label;
    EXPECT_EQ(label({-kUnbounded, 5, true, false}, "mm"), "less than 5 mm");
    EXPECT_EQ(label({-kUnbounded, 5, true, true}, "mm"), "up to 5 mm");
    EXPECT_EQ(label({5, 10, true, false}, "mm"), "5 to less than 10 mm");
    EXPECT_EQ(label({5, 10, true, true}, "mm"), "5 to 10 mm");
    EXPECT_EQ(label({5, 10, false, true}, ""), "more than 5, up to 10");
    EXPECT_EQ(label({5, 10, false, false}, ""), "more than 5 and less than 10");
    EXPECT_EQ(label({5, kUnbounded, true, true}, "mm"), "5 mm or more");
    EXPECT_EQ(label({5, kUnbounded, false, true}, "mm"), "more than 5 mm");
    EXPECT_EQ(label({2.5, 2.5, true, true}, "cm"), "2.5 cm");
    // Whole numbers: the numbers held.
    EXPECT_EQ(label({-kUnbounded, 5, true, false}, "", true), "up to 4");
    EXPECT_EQ(label({5, 10, true, false}, "", true), "5 to 9");
    EXPECT_EQ(label({5, 6, true, false}, "", true), "5");
    EXPECT_EQ(label({3, 6, false, true}, "", true), "4 to 6");
    EXPECT_EQ(label({10, kUnbounded, true, true}, "", true), "10 or more");
}

// Key states part the line: a bound two share goes to the state that starts at it, unless the
// lower one is that single value; a gap is shared at its middle.
TEST(NumericStates, KeyStatesPartTheLineWithoutOverlapOrGap) {
    const auto keys = [](std::initializer_list<std::pair<double, double>> ranges) {
        QList<KeyState> out;
        for (const auto& [lo, hi] : ranges) {
            KeyState k;
            k.low = lo, k.high = hi;
            out << k;
        }
        numericstates::partBounds(out, {{1.5, 1.5}, {9, 12}});
        return out;
    };
    const QList<KeyState> shared = keys({{-kUnbounded, 2}, {2, 5}, {5, kUnbounded}});
    for (double v : {1.0, 2.0, 4.99, 5.0, 7.0}) {
        int holding = 0;
        for (const KeyState& k : shared) holding += k.contains(v);
        EXPECT_EQ(holding, 1) << v;
    }
    EXPECT_TRUE(shared[1].contains(2));
    EXPECT_TRUE(shared[2].contains(5));
    const QList<KeyState> point = keys({{3, 3}, {3, 6}});
    EXPECT_TRUE(point[0].contains(3));
    EXPECT_FALSE(point[1].contains(3));
    EXPECT_TRUE(point[1].contains(6));
    // A gap is shared at its middle; the ends reach the taxa's values (1.5 and 12 here).
    const QList<KeyState> gap = keys({{-kUnbounded, 2}, {5, 10}});
    EXPECT_TRUE(gap[0].contains(3.49));
    EXPECT_FALSE(gap[0].contains(3.5));
    EXPECT_TRUE(gap[1].contains(3.5));
    EXPECT_TRUE(gap[1].contains(12));
    EXPECT_EQ(numericstates::label(gap[1], "mm"), "3.5 to 12 mm");
    const QList<KeyState> counts = keys({{2, 3}, {4, 6}, {7, kUnbounded}});
    EXPECT_EQ(numericstates::label(counts[0], ""), "1.5 to less than 3.5");  // reaches 1.5
    EXPECT_EQ(numericstates::label(counts[1], "", true), "4 to 6");  // named by whole numbers
}

// Chosen ranges part the line: every value, bounds included, lies in exactly one state, and
// a value that is not whole lands in the state whose label covers it.
TEST(NumericStates, ChosenRangesHoldEveryValueOnce) {
    QList<NumericRange> values;
    for (double v : {0.6, 1.0, 1.2, 2.5, 3.1, 4.0, 4.5, 5.0, 7.5, 10.0, 12.0})
        values << NumericRange{v, v};
    const auto states = numericstates::chosenRanges(values, false);
    ASSERT_GE(states.size(), 3);
    for (const NumericRange& r : values) {
        int holding = 0;
        for (const KeyState& k : states) holding += k.contains(r.low);
        EXPECT_EQ(holding, 1) << r.low;
    }
    for (qsizetype k = 1; k < states.size(); ++k) {
        EXPECT_TRUE(states[k].contains(states[k].low));
        EXPECT_FALSE(states[k - 1].contains(states[k].low));
    }
    // A bound is exactly the number its label shows: 0.6 is not "less than 0.6".
    const auto tenths = numericstates::chosenRanges(
        {{0.3, 0.3}, {0.6, 0.6}, {0.6, 0.6}, {0.7, 0.7}, {2, 2}}, false);
    ASSERT_GE(tenths.size(), 2);
    EXPECT_EQ(numericstates::label(tenths[0], ""), "less than 0.6");
    EXPECT_FALSE(tenths[0].contains(0.6));
    EXPECT_TRUE(tenths[1].contains(0.6));
}

TEST(ImportMapper, NumericStatesFollowExtremesListsAndBounds) {
    QTemporaryDir dir;
    testing_support::writeDeltaMountain(dir.path());
    Dataset data;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), data)) << reader.errorString().toStdString();
    const ImportPlan plan = ImportMapper(data, ImportOptions()).plan();
    ASSERT_TRUE(find(plan, "C6"));
    EXPECT_EQ(labels(*find(plan, "C6")),
              (QStringList{"less than 2 cm", "2 to less than 5 cm", "5 cm or more"}));
    EXPECT_EQ(showsOf(plan.species[0], "C6"), QStringList{"C6_2"});  // 2: the state from 2
    EXPECT_EQ(showsOf(plan.species[1], "C6"), QStringList{"C6_3"});  // 5: the state from 5
    EXPECT_EQ(showsOf(plan.species[4], "C6"),
              (QStringList{"C6_1", "C6_2", "C6_3"}));          // (1-)2.5-4(-6)
    EXPECT_EQ(showsOf(plan.species[7], "C6"), QStringList());  // inapplicable
    // Every value of a list counts: 30&35&43&56 reaches two states. Gaps between key states
    // are shared at their middle (21.5, 35); whole numbers name the states.
    EXPECT_EQ(labels(*find(plan, "C7")), (QStringList{"up to 21", "22 to 34", "35 or more"}));
    EXPECT_EQ(showsOf(plan.species[1], "C7"), (QStringList{"C7_2", "C7_3"}));
    // Questions read as words: no code or comment mark is left.
    for (const PlannedQuestion& q : plan.questions) {
        for (const QString& t : QStringList{q.text} + labels(q)) {
            bool opens = false;
            for (qsizetype k = 0; k < t.size(); ++k) opens = opens || deltatext::opensComment(t, k);
            EXPECT_FALSE(opens || t.contains("((") || t.contains('~')) << t.toStdString();
        }
    }
    EXPECT_EQ(find(plan, "C1")->text, "Plants");
    EXPECT_EQ(find(plan, "C4")->help,
              "Count the petals of open flowers; sepals (not petals) are left out.");
    EXPECT_EQ(find(plan, "C8")->states[1].region, QRect(60, 20, 60, 40));
}
