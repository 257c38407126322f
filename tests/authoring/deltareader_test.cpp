#include "authoring/import/deltareader.h"
#include "support/importdatasets.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace authoring;
using testing_support::writeFile;

namespace {

struct Grasses : ::testing::Test {
    QTemporaryDir dir;
    Dataset data;
    void SetUp() override {
        testing_support::writeDeltaGrasses(dir.path());
        DeltaReader reader;
        ASSERT_TRUE(reader.read(dir.path(), data)) << reader.errorString().toStdString();
    }
    const Attribute& at(int item, int character) {
        return data.items[item].attributes[character - 1];
    }
};

QString readError(const QString& folder) {
    Dataset d;
    DeltaReader reader;
    EXPECT_FALSE(reader.read(folder, d));
    return reader.errorString();
}

}  // namespace

TEST_F(Grasses, CharactersTakeTheirTypesStatesUnitsAndHeadings) {
    ASSERT_EQ(data.characters.size(), 9);
    const Character& culms = data.characters[0];
    EXPECT_EQ(culms.label, "culms");
    EXPECT_EQ(culms.fullText, "culms (whether woody or herbaceous)");
    ASSERT_EQ(culms.states.size(), 2);
    EXPECT_EQ(culms.states[1].label, "herbaceous");
    EXPECT_EQ(culms.reliability, 10);
    EXPECT_EQ(data.characters[1].type, Character::Real);
    EXPECT_EQ(data.characters[1].unit, "cm high");
    EXPECT_TRUE(data.characters[1].states.isEmpty());
    EXPECT_EQ(data.characters[2].states[2].label, "reddish");
    EXPECT_EQ(data.characters[3].states.size(), 40);
    EXPECT_EQ(data.characters[4].type, Character::Text);
    EXPECT_EQ(data.characters[5].type, Character::Integer);
    EXPECT_EQ(data.characters[6].type, Character::Ordered);
    EXPECT_EQ(data.characters[7].implicitState, 0);
    EXPECT_EQ(data.characters[5].group, "Culms");
    EXPECT_EQ(data.characters[6].group, "Leaves");
    EXPECT_EQ(data.characters[8].group, "Leaves");
}

TEST_F(Grasses, ItemsKeepTheirNamesApartFromAuthoritiesAndTypesetting) {
    ASSERT_EQ(data.items.size(), 5);
    EXPECT_EQ(data.items[0].name, "Bambusa vulgaris");
    EXPECT_EQ(data.items[0].htmlName, "<i>Bambusa vulgaris</i>");
    EXPECT_EQ(data.items[0].comment, "Schrad.");
    EXPECT_EQ(data.items[1].name, data.items[2].name);
    // Windows-1252: accented letters and curly quotes.
    EXPECT_EQ(data.items[3].name, QString::fromUtf8("Festuca élégans"));
    EXPECT_EQ(data.items[3].comment, QString::fromUtf8("“true”"));
}

TEST_F(Grasses, ValuesReadAlternativesTogethernessRangesAndPseudoValues) {
    EXPECT_EQ(at(0, 3).states, (QList<int>{0, 1}));  // 1/2
    EXPECT_EQ(at(0, 9).states, (QList<int>{0, 1}));  // 1&2
    EXPECT_EQ(at(0, 7).states, (QList<int>{2, 3}));  // 3-4
    EXPECT_EQ(at(1, 3).kind, Attribute::Inapplicable);
    EXPECT_EQ(at(1, 9).kind, Attribute::Unknown);
    EXPECT_EQ(at(3, 6).kind, Attribute::Variable);
    EXPECT_EQ(at(4, 1).kind, Attribute::Variable);
    EXPECT_FALSE(
        data.items[1].attributes.contains(7));  // not coded: the implicit value applies later
    // A comment after the character number annotates the value and does not replace it.
    EXPECT_EQ(at(3, 1).states, QList<int>{1});
    EXPECT_EQ(at(3, 1).text, "usually");
    EXPECT_EQ(at(0, 5).kind, Attribute::Coded);
    EXPECT_EQ(at(0, 5).text, "in thickets near rivers");  // the words of nested comments
}

TEST_F(Grasses, NumbersKeepTheirExtremesApartAndEachAlternative) {
    ASSERT_EQ(at(0, 2).ranges.size(), 1);
    EXPECT_EQ(at(0, 2).ranges[0].low, 500);
    EXPECT_EQ(at(0, 2).ranges[0].high, 1500);
    EXPECT_EQ(at(0, 2).ranges[0].lowest(), 200);
    EXPECT_EQ(at(0, 2).ranges[0].highest(), 2000);
    EXPECT_EQ(at(1, 2).ranges[0].lowest(), 5);  // no extremes: the usual range
    EXPECT_EQ(at(3, 2).ranges[0].low, 20);
    EXPECT_EQ(at(3, 2).ranges[0].high, 20);
    ASSERT_EQ(at(2, 6).ranges.size(), 2);  // 2/3
    EXPECT_EQ(at(2, 6).ranges[1].low, 3);
}

TEST_F(Grasses, KeyStatesDependenciesAndReliabilities) {
    const auto& keys = data.characters[5].keyStates;
    ASSERT_EQ(keys.size(), 3);
    EXPECT_EQ(keys[0].low, -kUnbounded);
    EXPECT_EQ(keys[0].high, 3);
    EXPECT_EQ(keys[1].low, 3);
    EXPECT_EQ(keys[1].high, 6);
    EXPECT_EQ(keys[2].low, 6);
    EXPECT_EQ(keys[2].high, kUnbounded);
    // Character 3 does not apply when culms are herbaceous (state 2): it applies under 1.
    ASSERT_EQ(data.dependencies.size(), 1);
    EXPECT_EQ(data.dependencies[0].controller, 0);
    EXPECT_EQ(data.dependencies[0].dependant, 2);
    EXPECT_EQ(data.dependencies[0].applicableUnder, QList<int>{0});
    EXPECT_EQ(data.characters[2].reliability, 5);
    EXPECT_EQ(data.characters[8].reliability, -1);
}

TEST(DeltaReader, ApplicableAndInapplicableCharactersSayTheSameBothWays) {
    QTemporaryDir dir;
    writeFile(dir.path() + "/toint",
              "*INPUT FILE sub/specs\n*INPUT FILE chars\n*INPUT FILE items\n");
    writeFile(dir.path() + "/sub/specs",
              "*NUMBER OF CHARACTERS 4\n*NUMBERS OF STATES 1,3\n"
              "*APPLICABLE CHARACTERS 1,1/3:2:3\n*INAPPLICABLE CHARACTERS 1,3:3-4\n");
    writeFile(
        dir.path() + "/chars",
        "*CHARACTER LIST #1. a/ 1. x/ 2. y/ 3. z/ #2. b/ 1. p/ 2. q/ #3. c/ 1. r/ 2. s/ #4. d/\n");
    writeFile(dir.path() + "/items", "*ITEM DESCRIPTIONS\n# one/ 1,1\n");
    Dataset d;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), d)) << reader.errorString().toStdString();
    ASSERT_EQ(d.dependencies.size(), 3);
    // 2 applies under 1 and 3; 3 under 1 and 3 but not 3: only 1; 4 under 1 and 2.
    EXPECT_EQ(d.dependencies[0].applicableUnder, (QList<int>{0, 2}));
    EXPECT_EQ(d.dependencies[1].applicableUnder, QList<int>{0});
    EXPECT_EQ(d.dependencies[2].applicableUnder, (QList<int>{0, 1}));
    EXPECT_EQ(d.characters[3].states.size(), 2);  // unlisted: two states
}

TEST(DeltaReader, UnreadableDataStopsAtItsFileAndLine) {
    QTemporaryDir dir;
    writeFile(dir.path() + "/specs", "*NUMBER OF CHARACTERS 2\n");
    writeFile(dir.path() + "/chars", "*CHARACTER LIST\n#1. a/ 1. x/ 2. y/\n#2. b <unclosed/\n");
    writeFile(dir.path() + "/items", "*ITEM DESCRIPTIONS\n# one/ 1,1\n");
    EXPECT_EQ(readError(dir.path()), "chars:3: character 2: the text does not end with '/'");
    writeFile(dir.path() + "/chars", "*CHARACTER LIST\n#1. a/ 1. x/ 2. y/\n#2. b/\n");
    writeFile(dir.path() + "/items", "*ITEM DESCRIPTIONS\n# one/ 1,1\n\n# two/ 1<open,2\n");
    EXPECT_EQ(readError(dir.path()), "items:4: a comment is not closed");
    writeFile(dir.path() + "/items", "*ITEM DESCRIPTIONS\n# one 1,1\n");
    EXPECT_EQ(readError(dir.path()), "items:2: the item name does not end with '/'");
    writeFile(dir.path() + "/specs", "*NUMBER OF CHARACTERS 2\n*INPUT FILE ../elsewhere\n");
    EXPECT_TRUE(readError(dir.path()).startsWith("specs:2: INPUT FILE ../elsewhere is not inside"));
    QTemporaryDir empty;
    EXPECT_TRUE(readError(empty.path()).contains("no DELTA files"));
}

TEST(DeltaReader, ValuesThatCannotBeUsedAreNotedAndLeftOut) {
    QTemporaryDir dir;
    writeFile(dir.path() + "/chars", "*CHARACTER LIST #1. a/ 1. x/ 2. y/\n");
    writeFile(dir.path() + "/items", "*ITEM DESCRIPTIONS\n# one/ 1,1/7 9,1 1x\n");
    Dataset d;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), d)) << reader.errorString().toStdString();
    EXPECT_EQ(d.items[0].attributes[0].states, QList<int>{0});
    ASSERT_EQ(d.notes.size(), 3);
    EXPECT_EQ(d.notes[0], "items:2: character 1 has no state 7");
    EXPECT_TRUE(d.notes[1].contains("names no character"));
    EXPECT_TRUE(d.notes[2].contains("cannot read '1x'"));
}

// Keyword sets give groups where there are no headings; under headings, the heading wins
// and a character before the first heading takes the first keyword set naming it.
TEST(DeltaReader, KeywordSetsGroupWhatHeadingsDoNot) {
    QTemporaryDir dir;
    writeFile(dir.path() + "/chars", "*CHARACTER LIST #1. a/ #2. b/ #3. c/ #4. d/ #5. e/ #6. f/\n");
    writeFile(dir.path() + "/items", "*ITEM DESCRIPTIONS\n# one/ 1,1\n");
    writeFile(dir.path() + "/toint",
              "*KEYWORD CHARACTERS #\\b{}habit\\b0{} <of the plant>/ 1-2 5\n"
              "  #leaves/ 2:3 4 #all/ 1-6\n");
    Dataset d;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), d)) << reader.errorString().toStdString();
    QStringList groups;
    for (const Character& c : d.characters) groups << c.group;
    EXPECT_EQ(groups, (QStringList{"habit", "habit", "leaves", "leaves", "habit", "all"}));

    writeFile(dir.path() + "/specs", "*CHARACTER HEADINGS #3. Flowers/\n");
    ASSERT_TRUE(reader.read(dir.path(), d)) << reader.errorString().toStdString();
    groups.clear();
    for (const Character& c : d.characters) groups << c.group;
    EXPECT_EQ(groups, (QStringList{"habit", "habit", "Flowers", "Flowers", "Flowers", "Flowers"}));

    writeFile(dir.path() + "/toint", "*KEYWORD CHARACTERS #leaves/ 2 x\n");
    EXPECT_EQ(readError(dir.path()), "toint:1: keyword leaves: cannot read 'x'");
}

TEST(DeltaReader, MultistateKeyStatesGroupStates) {
    QTemporaryDir dir;
    writeFile(dir.path() + "/chars",
              "*CHARACTER LIST #1. a/ 1. p/ 2. q/ 3. r/ 4. s/ 5. t/\n#2. b/ mm/\n");
    writeFile(dir.path() + "/specs", "*CHARACTER TYPES 2,RN\n");
    writeFile(dir.path() + "/items", "*ITEM DESCRIPTIONS\n# one/ 1,1 2,3\n");
    writeFile(dir.path() + "/tokey", "*KEY STATES 1,1-3/4&5 2,-2.5--1/1.5~/7\n");
    Dataset d;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), d)) << reader.errorString().toStdString();
    ASSERT_EQ(d.characters[0].keyStates.size(), 2);
    EXPECT_EQ(d.characters[0].keyStates[0].states, (QList<int>{0, 1, 2}));
    EXPECT_EQ(d.characters[0].keyStates[1].states, (QList<int>{3, 4}));
    const auto& numeric = d.characters[1].keyStates;
    ASSERT_EQ(numeric.size(), 3);
    EXPECT_EQ(numeric[0].low, -2.5);
    EXPECT_EQ(numeric[0].high, -1);
    EXPECT_EQ(numeric[1].low, 1.5);
    EXPECT_EQ(numeric[1].high, kUnbounded);
    EXPECT_EQ(numeric[2].low, 7);
    EXPECT_EQ(numeric[2].high, 7);
    writeFile(dir.path() + "/tokey", "*KEY STATES 1,1-3/6\n");
    EXPECT_EQ(readError(dir.path()), "tokey:1: character 1: cannot read key state '6'");
}

struct Mountain : ::testing::Test {
    QTemporaryDir dir;
    Dataset data;
    void SetUp() override {
        testing_support::writeDeltaMountain(dir.path());
        DeltaReader reader;
        ASSERT_TRUE(reader.read(dir.path(), data)) << reader.errorString().toStdString();
    }
    const Attribute& at(int item, int character) {
        return data.items[item].attributes[character - 1];
    }
};

TEST_F(Mountain, AngleBracketsInTextsAndNamesAreReadByTheCommentRule) {
    ASSERT_EQ(data.characters.size(), 10);
    EXPECT_EQ(data.characters[1].states[0].label, "few (<3) families susceptible");
    EXPECT_EQ(data.characters[1].states[1].label, "many (>9) families");
    EXPECT_EQ(data.characters[1].fullText,
              "families attacked [how many, more than 9 (>9) counting]");
    EXPECT_EQ(data.characters[2].fullText, "leaf shape (where x<y is narrower)");
    EXPECT_EQ(data.characters[2].states[1].label, "linear");  // the comment's words
    EXPECT_EQ(data.characters[2].states[2].label, "length x<y width");
    EXPECT_EQ(data.characters[0].fullText, "plants");
    EXPECT_EQ(data.characters[0].states[1].label, "monoecious");
    EXPECT_EQ(data.characters[7].states[2].label, "red");
    ASSERT_EQ(data.items.size(), 8);
    EXPECT_EQ(data.items[0].name, "Silene uralensis subsp. uralensis");
    EXPECT_EQ(data.items[0].comment, "(Rupr.) Bocquet");
    EXPECT_EQ(data.items[2].name, "Carex flava");
    EXPECT_EQ(data.items[2].comment, "a sedge with many (>9) spikes");
    EXPECT_EQ(at(0, 10).text, "petals (<3 mm) pale");
    EXPECT_EQ(at(5, 8).text, "rarely 3");
    EXPECT_EQ(at(2, 9).text, "");  // a code only
    EXPECT_EQ(at(2, 9).states, QList<int>{0});
    EXPECT_EQ(at(3, 1).states, QList<int>{0});  // "1<usually>,1": a comment after the number
    EXPECT_EQ(at(5, 8).states, QList<int>{1});  // "2<rarely 3>"
}

TEST_F(Mountain, ListsAndExtremesAreValuesEachTaxonShows) {
    const QList<NumericRange>& chromosomes = at(1, 7).ranges;
    ASSERT_EQ(chromosomes.size(), 4);  // 30&35&43&56
    EXPECT_EQ(chromosomes[0].low, 30);
    EXPECT_EQ(chromosomes[3].high, 56);
    const NumericRange& gentiana = at(4, 6).ranges.value(0);
    EXPECT_EQ(gentiana.low, 2.5);
    EXPECT_EQ(gentiana.high, 4);
    EXPECT_EQ(gentiana.lowest(), 1);
    EXPECT_EQ(gentiana.highest(), 6);
    const NumericRange& viola = at(7, 4).ranges.value(0);  // "(15-)20": an extreme below
    EXPECT_EQ(viola.low, 20);
    EXPECT_EQ(viola.lowest(), 15);
    EXPECT_EQ(at(5, 5).ranges.size(), 2);  // 5&7.5
    EXPECT_FALSE(data.notes.join('\n').contains("cannot read"))
        << data.notes.join('\n').toStdString();
}

TEST_F(Mountain, HeadingsSubheadingsNotesAndPicturesComeFromAnyFile) {
    EXPECT_EQ(data.characters[0].group, "Habit");
    EXPECT_EQ(data.characters[2].group, "Leaves");
    EXPECT_EQ(data.characters[9].group, "Flowers and fruits");
    EXPECT_EQ(data.characters[4].subheading, "Measures");
    EXPECT_EQ(data.characters[8].subheading, "Surface");
    EXPECT_EQ(data.characters[3].notes,
              "Count the petals of open flowers; sepals (not petals) are left out.");
    EXPECT_EQ(data.characters[5].notes, "Measured when ripe, across the widest part");
    const Character& colour = data.characters[7];
    EXPECT_EQ(colour.states[1].region, QRect(60, 20, 60, 40));
    EXPECT_TRUE(colour.states[0].image.endsWith("colours.png"));
    EXPECT_TRUE(colour.states[2].image.isEmpty());  // its region only places a label
    EXPECT_TRUE(data.notes.join('\n').contains(
        "character 8, state 3: picture colours.png places only its label"));
}

TEST(DeltaReader, SubheadingsGroupWhereNoHeadingIsGivenAndLabelsOnlyRegionsAreNoted) {
    QTemporaryDir dir;
    writeFile(dir.path() + "/chars",
              "*CHARACTER LIST #1. a/ 1. x/ 2. y/ #2. b/ 1. x/ 2. y/ #3. c/ 1. x/ 2. y/\n");
    writeFile(dir.path() + "/items", "*ITEM DESCRIPTIONS\n# A/ 1,1 2,1 3,1\n# B/ 1,2\n");
    writeFile(dir.path() + "/layout", "*ITEM SUBHEADINGS #2. \\b{}Leaves\\b0{}:/\n");
    writeFile(dir.path() + "/pictures",
              "*CHARACTER IMAGES #1. p.png <@state 1 x=1 y=1 w=5 h=-1> <@hotspot x=2 y=2 w=3 "
              "h=3> <@state 2 x=1 y=9 w=9 h=-1>\n");
    // A copy of the items under another name adds nothing: the items were given already.
    writeFile(dir.path() + "/items.old", "*ITEM DESCRIPTIONS\n# C/ 1,1\n");
    Dataset d;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), d)) << reader.errorString().toStdString();
    EXPECT_EQ(d.items.size(), 2);
    EXPECT_EQ(d.characters[0].group, "");
    EXPECT_EQ(d.characters[1].group, "Leaves");
    EXPECT_EQ(d.characters[2].group, "Leaves");
    EXPECT_EQ(d.characters[0].states[0].region, QRect(2, 2, 3, 3));
    EXPECT_TRUE(d.characters[0].states[1].image.isEmpty());
    EXPECT_TRUE(d.notes.join('\n').contains("character 1, state 2: picture p.png places only"))
        << d.notes.join('\n').toStdString();
}
