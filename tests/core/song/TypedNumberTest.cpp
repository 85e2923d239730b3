// Reading typed numbers: leading-number rules, radix prefixes, rounding and 32-bit saturation.
#include "song/TypedNumber.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tromel {
namespace {

constexpr int32_t maxValue = 2147483647;
constexpr int32_t minValue = -2147483647 - 1;

struct Case {
    std::string text;
    int32_t expected;
};

struct Rule {
    const char* name;
    std::vector<Case> cases;
};

// clang-format off
const std::vector<Rule> rules{
    {"no leading number gives 0",
     {{"", 0}, {"abc", 0}, {"-", 0}, {"E5", 0}, {"&Q12", 0}, {"&H", 0}}},
    {"only the leading number counts",
     {{"12,5", 12}, {"1.2.3", 1}, {"4E+", 4}, {"&H1G", 1}, {"-&H10", 0}}},
    {"blanks, tabs and line feeds skipped before and inside, carriage returns not",
     {{"  \t\n42", 42}, {"1\t2\n3", 123}, {"1 E 2", 100}, {"& H 2 0", 32}, {"1\r2", 1}}},
    {"signs, exponents with E or D, hexadecimal and octal",
     {{"-3", -3}, {"+3", 3}, {"1D2", 100}, {"1d+2", 100}, {"1234E-2", 12}, {"&hff", 255}, {"&O17", 15}}},
    {"halves to even, decided on the digits rather than a binary approximation",
     {{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {".75", 1}, {"25E-1", 2}, {"0.05E1", 0},
      {"2.50000000000000000000001", 3}, {"2.49999999999999999999999", 2}}},
    {"saturates at 32 bits, however long the digits or large the exponent",
     {{"2147483647", maxValue}, {"-2147483648", minValue}, {"2147483648", maxValue}, {"2147483647.5", maxValue},
      {"-1E999", minValue}, {"1E99999999999999999999", maxValue}, {"1E-99999999999999999999", 0},
      {"&H" + std::string(300, 'F'), maxValue}, {std::string(500, '9'), maxValue},
      {"-" + std::string(500, '9'), minValue},
      {"1" + std::string(500, '0') + "E-500", 1}, {"0." + std::string(500, '0') + "1E501", 1}}},
    {"every count of digits where the reading changes its way",
     {{"1000000000", 1000000000}, {"9999999999", maxValue}, {"10000000000", maxValue},
      {"1E9", 1000000000}, {"1E10", maxValue}, {"9999999999999999999", maxValue},
      {"99999999999999999999", maxValue}, {"18446744073709551617", maxValue}, {"0000000000000000000001", 1},
      {".6", 1}, {"6E-1", 1}, {".5", 0}, {".06", 0}, {"6E-2", 0}, {"2147483645.5", 2147483646},
      {"&HFFFFFFF", 268435455}, {"&H7FFFFFFF", maxValue}, {"&H80000000", maxValue}, {"&H100000000", maxValue},
      {"&O7777777777", 1073741823}, {"&O17777777777", maxValue}, {"&O20000000000", maxValue}}}};
// clang-format on

TEST(TypedNumber, ReadsTheLeadingNumberRoundedAndSaturated) {
    for (const auto& [name, cases] : rules)
        for (const auto& [text, expected] : cases)
            EXPECT_EQ(parseTypedNumber(text), expected) << name << ": \"" << text << '"';
}

}  // namespace
}  // namespace tromel
