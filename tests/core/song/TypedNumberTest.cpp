// Reading typed numbers: leading-number rules, radix prefixes, rounding and 32-bit saturation.
#include "song/TypedNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace tromel {
namespace {

TEST(TypedNumber, TextWithoutALeadingNumberGivesZero) {
    EXPECT_EQ(parseTypedNumber(""), 0);
    EXPECT_EQ(parseTypedNumber("abc"), 0);
    EXPECT_EQ(parseTypedNumber(" \t\n "), 0);
    EXPECT_EQ(parseTypedNumber("-"), 0);
    EXPECT_EQ(parseTypedNumber("."), 0);
    EXPECT_EQ(parseTypedNumber("E5"), 0);
    EXPECT_EQ(parseTypedNumber("&"), 0);
    EXPECT_EQ(parseTypedNumber("&Q12"), 0);
}

TEST(TypedNumber, ReadsOnlyTheLeadingNumber) {
    EXPECT_EQ(parseTypedNumber("12abc"), 12);
    EXPECT_EQ(parseTypedNumber("12,5"), 12);
    EXPECT_EQ(parseTypedNumber("1.2.3"), 1);
    EXPECT_EQ(parseTypedNumber("4E"), 4);
    EXPECT_EQ(parseTypedNumber("4E+"), 4);
}

TEST(TypedNumber, BlanksTabsAndLineFeedsAreSkippedBeforeAndInside) {
    EXPECT_EQ(parseTypedNumber("1 2"), 12);
    EXPECT_EQ(parseTypedNumber("  \t\n42"), 42);
    EXPECT_EQ(parseTypedNumber("1\t2\n3"), 123);
    EXPECT_EQ(parseTypedNumber("- 3"), -3);
    EXPECT_EQ(parseTypedNumber("1 E 2"), 100);
    EXPECT_EQ(parseTypedNumber("& H 2 0"), 32);
    // A carriage return is not one of the skipped characters.
    EXPECT_EQ(parseTypedNumber("1\r2"), 1);
}

TEST(TypedNumber, SignsFractionsAndExponents) {
    EXPECT_EQ(parseTypedNumber("-3"), -3);
    EXPECT_EQ(parseTypedNumber("+3"), 3);
    EXPECT_EQ(parseTypedNumber("1E2"), 100);
    EXPECT_EQ(parseTypedNumber("1D2"), 100);
    EXPECT_EQ(parseTypedNumber("1d+2"), 100);
    EXPECT_EQ(parseTypedNumber("1234E-2"), 12);
    EXPECT_EQ(parseTypedNumber("-2.5E1"), -25);
    EXPECT_EQ(parseTypedNumber("007"), 7);
    EXPECT_EQ(parseTypedNumber(".75"), 1);
    EXPECT_EQ(parseTypedNumber("-0"), 0);
}

TEST(TypedNumber, RoundsHalvesToEven) {
    EXPECT_EQ(parseTypedNumber("2.5"), 2);
    EXPECT_EQ(parseTypedNumber("3.5"), 4);
    EXPECT_EQ(parseTypedNumber("0.5"), 0);
    EXPECT_EQ(parseTypedNumber("-2.5"), -2);
    EXPECT_EQ(parseTypedNumber("-3.5"), -4);
    EXPECT_EQ(parseTypedNumber("2.4999"), 2);
    EXPECT_EQ(parseTypedNumber("25E-1"), 2);
    EXPECT_EQ(parseTypedNumber("0.05E1"), 0);
    // Decided exactly on the digits, not on a binary approximation of them.
    EXPECT_EQ(parseTypedNumber("2.50000000000000000000001"), 3);
    EXPECT_EQ(parseTypedNumber("2.49999999999999999999999"), 2);
}

TEST(TypedNumber, HexadecimalAndOctal) {
    EXPECT_EQ(parseTypedNumber("&H20"), 32);
    EXPECT_EQ(parseTypedNumber("&hff"), 255);
    EXPECT_EQ(parseTypedNumber("&HFFFF"), 65535);
    EXPECT_EQ(parseTypedNumber("&O17"), 15);
    EXPECT_EQ(parseTypedNumber("&H1G"), 1);
    EXPECT_EQ(parseTypedNumber("&H"), 0);
    EXPECT_EQ(parseTypedNumber("-&H10"), 0);
}

TEST(TypedNumber, SaturatesAt32Bits) {
    EXPECT_EQ(parseTypedNumber("2147483647"), 2147483647);
    EXPECT_EQ(parseTypedNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseTypedNumber("2147483648"), 2147483647);
    EXPECT_EQ(parseTypedNumber("2147483647.5"), 2147483647);
    EXPECT_EQ(parseTypedNumber("1E999"), 2147483647);
    EXPECT_EQ(parseTypedNumber("-1E999"), -2147483647 - 1);
    EXPECT_EQ(parseTypedNumber("1E99999999999999999999"), 2147483647);
    EXPECT_EQ(parseTypedNumber("1E-99999999999999999999"), 0);
    EXPECT_EQ(parseTypedNumber("&HFFFFFFFF"), 2147483647);
    EXPECT_EQ(parseTypedNumber("&H" + std::string(300, 'F')), 2147483647);
    EXPECT_EQ(parseTypedNumber(std::string(500, '9')), 2147483647);
    EXPECT_EQ(parseTypedNumber("-" + std::string(500, '9')), -2147483647 - 1);
    EXPECT_EQ(parseTypedNumber("1" + std::string(500, '0') + "E-500"), 1);
    EXPECT_EQ(parseTypedNumber("0." + std::string(500, '0') + "1E501"), 1);
}

}  // namespace
}  // namespace tromel
