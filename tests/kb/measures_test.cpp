// The optional "Mesures" table as the program reads it: the questions answered by a typed
// value, the one state a value chooses, and the rows it must refuse without failing.
#include "kb/measures.h"
#include "kb/database.h"
#include "support/testkb.h"

#include <gtest/gtest.h>

using testing_support::TestKb;

namespace {

const char* kTable =
    "CREATE TABLE \"Mesures\" (\"ID_CARAC\" TEXT COLLATE NOCASE PRIMARY KEY, \"Objet\" TEXT, "
    "\"Unite\" TEXT, \"Bas\" REAL, \"Haut\" REAL, \"Bas_Inclus\" INTEGER, "
    "\"Haut_Inclus\" INTEGER)";

class MeasuresTest : public ::testing::Test {
protected:
    void SetUp() override { base.write(); }

    // PATTE (states P1, P2, P3) measured in mm: less than 5, 5 to less than 10, 10 or more.
    void writeLegs() {
        base.exec(kTable);
        base.exec(
            "INSERT INTO \"Mesures\" VALUES ('P1','PATTE','mm',NULL,5,-1,0),"
            "('P2','PATTE','mm',5,10,-1,0),('P3','PATTE','mm',10,NULL,-1,0)");
    }

    kb::Measures read(QStringList* problems = nullptr) {
        EXPECT_TRUE(db.open(base.databasePath()));
        return kb::Measures::read(db, problems);
    }

    TestKb base;
    kb::Database db;
};

TEST_F(MeasuresTest, AValueChoosesTheOneStateWhoseRangeHoldsIt) {
    writeLegs();
    QStringList problems;
    const kb::Measures measures = read(&problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    EXPECT_EQ(measures.of("AILE"), nullptr);
    const kb::Measure* legs = measures.of("patte");  // keys compare without case
    ASSERT_NE(legs, nullptr);
    EXPECT_EQ(legs->unit, "mm");
    // Open ends reach every value beyond them; a shared bound belongs to the state that
    // starts at it.
    EXPECT_EQ(legs->stateOf(-1e9), 2);
    EXPECT_EQ(legs->stateOf(4.999), 2);
    EXPECT_EQ(legs->stateOf(5), 3);
    EXPECT_EQ(legs->stateOf(9.5), 3);
    EXPECT_EQ(legs->stateOf(10), 4);
    EXPECT_EQ(legs->stateOf(1e9), 4);
    EXPECT_EQ(legs->valueText(37), "37 mm");
    EXPECT_EQ(legs->valueText(2.5), "2.5 mm");
}

TEST_F(MeasuresTest, AGapAndClosedEndsLeaveValuesWithoutState) {
    base.exec(kTable);
    base.exec(
        "INSERT INTO \"Mesures\" VALUES ('P1','PATTE',NULL,1,2,-1,-1),"
        "('P2','PATTE',NULL,3,4,0,-1),('P3','PATTE',NULL,4.5,6,-1,NULL)");
    QStringList problems;
    const kb::Measures measures = read(&problems);
    const kb::Measure* legs = measures.of("PATTE");
    ASSERT_NE(legs, nullptr) << problems.join('\n').toStdString();
    EXPECT_EQ(legs->unit, "");
    EXPECT_EQ(legs->valueText(3.5), "3.5");
    EXPECT_EQ(legs->stateOf(0.5), -1);
    EXPECT_EQ(legs->stateOf(2), 2);  // an upper bound that belongs to its state
    EXPECT_EQ(legs->stateOf(2.5), -1);
    EXPECT_EQ(legs->stateOf(3), -1);  // a lower bound that does not
    EXPECT_EQ(legs->stateOf(4), 3);
    EXPECT_EQ(legs->stateOf(6), 4);  // NULL counts as included
    EXPECT_EQ(legs->stateOf(6.01), -1);
}

// Each fault drops its question alone, names it, and never stops the reading.
TEST_F(MeasuresTest, RowsThatCannotBeUsedLeaveTheirQuestionWithoutAField) {
    struct Case {
        const char* rows;
        const char* problem;
    };
    const Case cases[] = {
        {"('P1','PATTE','mm',0,5,-1,-1),('P2','PATTE','mm',5,10,-1,0)", "overlap"},
        {"('P1','PATTE','mm',NULL,5,-1,0),('P2','PATTE','mm',2,NULL,-1,0)", "overlap"},
        {"('P1','PATTE','mm',0,5,-1,0),('PX','PATTE','mm',5,10,-1,0)", "PX does not exist"},
        {"('P1','PATTES','mm',0,5,-1,0)", "PATTES: the question does not exist"},
        {"('P1','PATTE','mm',0,5,-1,0),('A2','PATTE','mm',5,10,-1,0)",
         "A2 is not a state of this question"},
        {"('P1','PATTE','mm','five',5,-1,0),('P2','PATTE','mm',5,10,-1,0)", "not a number"},
        {"('P1','PATTE','mm',0,5,-1,0),('P2','PATTE','cm',5,10,-1,0)", "different units"},
        {"('P1','PATTE','mm',5,5,-1,0),('P2','PATTE','mm',6,10,-1,0)", "holds no value"},
        {"('P1','PATTE','mm',7,5,-1,-1)", "holds no value"},
    };
    for (const Case& c : cases) {
        TestKb damaged;
        damaged.write();
        damaged.exec(kTable);
        damaged.exec(QStringLiteral("INSERT INTO \"Mesures\" VALUES %1").arg(c.rows));
        // AILE is measured soundly beside the faulty question and keeps its field.
        damaged.exec("INSERT INTO \"Mesures\" VALUES ('A1','AILE','cm',NULL,1,-1,0)");
        kb::Database db2;
        ASSERT_TRUE(db2.open(damaged.databasePath()));
        QStringList problems;
        const kb::Measures m = kb::Measures::read(db2, &problems);
        EXPECT_EQ(m.of("PATTE"), nullptr) << c.rows;
        EXPECT_NE(m.of("AILE"), nullptr) << c.rows;
        ASSERT_EQ(problems.size(), 1) << c.rows;
        EXPECT_TRUE(problems[0].contains("question PATTE")) << problems[0].toStdString();
        EXPECT_TRUE(problems[0].contains(c.problem)) << problems[0].toStdString();
    }
}

TEST_F(MeasuresTest, ABaseWithoutTheTableHasNoMeasuredQuestion) {
    QStringList problems;
    const kb::Measures measures = read(&problems);
    EXPECT_TRUE(measures.isEmpty());
    EXPECT_TRUE(problems.isEmpty());
}

TEST(MeasureValue, ADecimalCommaOrPointIsANumberAndNothingElseIs) {
    EXPECT_EQ(kb::Measures::parseValue("37"), 37.0);
    EXPECT_EQ(kb::Measures::parseValue(" 2,5 "), 2.5);
    EXPECT_EQ(kb::Measures::parseValue("2.5"), 2.5);
    EXPECT_EQ(kb::Measures::parseValue(",5"), 0.5);
    EXPECT_EQ(kb::Measures::parseValue("-3"), -3.0);
    EXPECT_EQ(kb::Measures::parseValue("4."), 4.0);
    for (const char* bad :
         {"", " ", "abc", "1,2,3", "1.000,5", "1e3", "inf", "nan", "5 mm", "0x10", "--1", "."})
        EXPECT_FALSE(kb::Measures::parseValue(bad).has_value()) << bad;
    EXPECT_FALSE(kb::Measures::parseValue(QString(100, '9')).has_value());
}

}  // namespace
