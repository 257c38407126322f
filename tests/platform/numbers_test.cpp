#include "platform/numbers.h"
#include "platform/int16.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(12.5), 12);
    EXPECT_EQ(roundHalfEven(37.5), 38);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(25.5), 26);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(roundHalfEven(-0.4), 0);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartAndIgnoresTheRest) {
    EXPECT_EQ(leadingNumber("12 abc"), 12);
    EXPECT_EQ(leadingNumber("12abc"), 12);
    EXPECT_EQ(leadingNumber("  7"), 7);
    EXPECT_EQ(leadingNumber("2.5"), 2.5);
    EXPECT_EQ(leadingNumber("-4.25x"), -4.25);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("."), 0);
    EXPECT_EQ(leadingNumber("1e2"), 100);
    EXPECT_EQ(leadingNumber("3e"), 3);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
}

TEST(LeadingNumber, RoundsToA16BitIntegerHalvesToEven) {
    EXPECT_EQ(leadingInt16("12 abc"), 12);
    EXPECT_EQ(leadingInt16("2.5"), 2);
    EXPECT_EQ(leadingInt16("3.5"), 4);
    EXPECT_EQ(leadingInt16("32767"), 32767);
    EXPECT_EQ(leadingInt16("-32768"), -32768);
    EXPECT_FALSE(leadingInt16("32768").has_value());
    EXPECT_FALSE(leadingInt16("1e300").has_value());
}

TEST(Int16, OverflowIsReportedNotWrapped) {
    EXPECT_EQ(add16(32000, 767), 32767);
    EXPECT_FALSE(add16(32000, 768).has_value());
    EXPECT_FALSE(sub16(-32768, 1).has_value());
    EXPECT_EQ(mul16(327, 100), 32700);
    EXPECT_FALSE(mul16(328, 100).has_value());
    EXPECT_FALSE(mul16(-32768, -1).has_value());
    EXPECT_EQ(mul16(-1, 32767), -32767);
}

TEST(SignedSpaceNumber, SpaceBeforePositiveMinusBeforeNegative) {
    EXPECT_EQ(signedSpaceNumber(87), QString(" 87"));
    EXPECT_EQ(signedSpaceNumber(0), QString(" 0"));
    EXPECT_EQ(signedSpaceNumber(-3), QString("-3"));
}

TEST(TextToBool, NumbersAndWords) {
    EXPECT_EQ(textToBool("-1"), true);
    EXPECT_EQ(textToBool("0"), false);
    EXPECT_EQ(textToBool("True"), true);
    EXPECT_EQ(textToBool("false"), false);
    EXPECT_FALSE(textToBool("maybe").has_value());
}
