#include "authoring/import/sheet.h"
#include "authoring/import/tabledataset.h"
#include "support/importdatasets.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace authoring;

namespace {

Sheet csv(const QByteArray& bytes, QString* error = nullptr) {
    SheetReader reader;
    Sheet sheet{QStringLiteral("m.csv"), {}};
    const bool ok = reader.readDelimited(bytes, QLatin1Char(','), sheet);
    if (error) *error = ok ? QString() : reader.errorString();
    return sheet;
}

TEST(TableReading, CsvFieldsFollowTheQuotingRules) {
    // Quoted fields keep delimiters, line ends, doubled quotes and their blanks; others are
    // trimmed; CRLF and a byte order mark are read as any line end and nothing.
    const Sheet s =
        csv("\xEF\xBB\xBFname , \"a, b\"\r\n\"two\nlines\",\"say \"\"hi\"\"\"\r\n"
            "x,\" padded \"\n");
    ASSERT_EQ(s.rows.size(), 3);
    EXPECT_EQ(s.rows[0], QStringList({"name", "a, b"}));
    EXPECT_EQ(s.rows[1], QStringList({"two\nlines", "say \"hi\""}));
    EXPECT_EQ(s.cell(2, 1), " padded ");
    // Windows-1252, as a spreadsheet on Windows saves it.
    EXPECT_EQ(csv("name\nCaloptéryx\n").cell(1, 0), QString::fromUtf8("Caloptéryx"));
    EXPECT_EQ(csv("name\nCalopt\xE9ryx\n").cell(1, 0), QString::fromUtf8("Caloptéryx"));
    QString error;
    csv("name,Hairs\nA b,\"open\n", &error);
    EXPECT_EQ(error, "m.csv:2:2: a quoted field is not closed");
}

Dataset matrix(const QByteArray& bytes, const QString& separators = {}, QString* error = nullptr) {
    Dataset d;
    QString e;
    EXPECT_EQ(tableDataset(csv(bytes), {separators}, d, &e), error == nullptr) << e.toStdString();
    if (error) *error = e;
    return d;
}

TEST(TableReading, ColumnsOfNumbersAndRangesAreNumericTheOthersTakeTheirValues) {
    const Dataset d = matrix(
        "taxon,Length,Width,Shape,Ribs\n"
        "#unit,mm,cm,,\n"
        "A a,3,1.5,round|oval,-2-4\n"
        "B b,4-6,2\xE2\x80\x93"
        "3.5,?,3 to 5\n"
        "C c,?,-,long,5\n"
        "D d,7,4,5 lobes,x\n");
    ASSERT_EQ(d.characters.size(), 4);
    EXPECT_EQ(d.characters[0].type, Character::Integer);
    EXPECT_EQ(d.characters[0].unit, "mm");
    EXPECT_EQ(d.characters[1].type, Character::Real);
    // One word among the numbers makes a column categorical: its values are its states.
    EXPECT_EQ(d.characters[2].type, Character::Unordered);
    EXPECT_EQ(d.characters[3].type, Character::Unordered);
    QStringList shapes;
    for (const CharacterState& s : d.characters[2].states) shapes << s.label;
    EXPECT_EQ(shapes, QStringList({"round", "oval", "long", "5 lobes"}));
    ASSERT_EQ(d.items.size(), 4);
    const Attribute b = d.items[1].attributes.value(0);
    ASSERT_EQ(b.ranges.size(), 1);
    EXPECT_EQ(b.ranges[0].low, 4);
    EXPECT_EQ(b.ranges[0].high, 6);
    EXPECT_EQ(d.items[1].attributes.value(1).ranges.value(0).high, 3.5);
    EXPECT_EQ(d.items[0].attributes.value(2).states, QList<int>({0, 1}));
    EXPECT_FALSE(d.items[1].attributes.contains(2));  // "?": unknown
    EXPECT_EQ(d.items[2].attributes.value(1).kind, Attribute::Inapplicable);
    EXPECT_EQ(d.items[0].attributes.value(3).states.size(), 1);  // "-2-4" is one value
}

TEST(TableReading, SeparatorsGroupsAndCommonNamesAreReadWhereTheLayoutSays) {
    const Dataset d = matrix(
        "Code,name,Family,common:fr,Colour\n"
        "x,#group,,,Body\n"
        "1,Alpha one,Fam A,Un,red/blue;green\n",
        "/;");
    ASSERT_EQ(d.characters.size(), 2);  // "Code" is a character too; "name" names the taxa
    EXPECT_EQ(d.characters[1].group, "Body");
    ASSERT_EQ(d.items.size(), 1);
    EXPECT_EQ(d.items[0].name, "Alpha one");
    EXPECT_EQ(d.items[0].family, "Fam A");
    EXPECT_EQ(d.commonNames.value(0).value(0), std::make_pair(QString("fr"), QString("Un")));
    EXPECT_EQ(d.items[0].attributes.value(1).states.size(), 3);
    // Without the separators asked for, "/" and ";" are part of the value.
    EXPECT_EQ(matrix("name,Colour\nA a,red/blue\n").characters[0].states.size(), 1);
    QString error;
    matrix("name,Colour\nA a,red\nA a,blue\n", {}, &error);
    EXPECT_EQ(error, "m.csv:3:1: a second row for A a");
}

}  // namespace
