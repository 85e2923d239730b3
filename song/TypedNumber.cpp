// Reads the number a user typed into a settings text box.
#include "song/TypedNumber.h"

#include <algorithm>
#include <limits>
#include <string>

namespace tromel {
namespace {

constexpr int64_t int32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t int32Min = std::numeric_limits<int32_t>::min();
// Magnitudes are held at most one past the largest int32 so that -2147483648 stays exact and
// larger values saturate without overflowing the accumulator.
constexpr uint64_t magnitudeLimit = static_cast<uint64_t>(int32Max) + 1;
// Beyond this an exponent already puts any value far outside 32 bits (or below one half).
constexpr int64_t exponentLimit = 1'000'000'000;

// Hands out the text's characters one by one, stepping over blanks, tabs and line feeds,
// which may stand anywhere inside a number.
class TypedText {
public:
    explicit TypedText(std::string_view text) : m_text(text) {}

    char peek() {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void advance() { ++m_pos; }

    bool takeAny(std::string_view choices) {
        const char c = peek();
        if (c == '\0' || choices.find(c) == std::string_view::npos)
            return false;
        advance();
        return true;
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

int digitValue(char c, int radix) {
    int value = radix;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < radix ? value : -1;
}

int32_t toInt32(bool negative, uint64_t magnitude) {
    const int64_t value = static_cast<int64_t>(std::min(magnitude, magnitudeLimit));
    return static_cast<int32_t>(std::clamp(negative ? -value : value, int32Min, int32Max));
}

// "&H" and "&O" digits are an unsigned magnitude; anything past 32 bits saturates.
int32_t readRadixDigits(TypedText& in, int radix) {
    uint64_t value = 0;
    for (int digit = digitValue(in.peek(), radix); digit >= 0; digit = digitValue(in.peek(), radix)) {
        value = std::min(value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit), magnitudeLimit);
        in.advance();
    }
    return toInt32(false, value);
}

// A decimal number held exactly, so that rounding never suffers from binary fractions:
// value = significant × 10^scale, with the significant digits free of leading zeros.
struct DecimalNumber {
    bool negative = false;
    bool hasDigits = false;
    std::string significant;
    int64_t scale = 0;
};

void readMantissaDigits(TypedText& in, DecimalNumber& number, bool fraction) {
    for (char c = in.peek(); c >= '0' && c <= '9'; c = in.peek()) {
        number.hasDigits = true;
        if (!number.significant.empty() || c != '0')
            number.significant.push_back(c);
        if (fraction)
            --number.scale;
        in.advance();
    }
}

int64_t readExponent(TypedText& in) {
    if (!in.takeAny("EeDd"))
        return 0;
    const bool negative = in.peek() == '-';
    in.takeAny("+-");
    int64_t exponent = 0;
    for (char c = in.peek(); c >= '0' && c <= '9'; c = in.peek()) {
        exponent = std::min(exponent * 10 + (c - '0'), exponentLimit);
        in.advance();
    }
    return negative ? -exponent : exponent;
}

uint64_t parseDigits(std::string_view digits) {
    uint64_t value = 0;
    for (const char c : digits)
        value = value * 10 + static_cast<uint64_t>(c - '0');
    return value;
}

// Rounds to the nearest integer, halves to the even neighbour, saturating at magnitudeLimit.
uint64_t roundedMagnitude(const DecimalNumber& number) {
    const auto length = static_cast<int64_t>(number.significant.size());
    const int64_t integerDigits = length + number.scale;
    if (length == 0 || integerDigits < 0)
        return 0;
    if (integerDigits > 10)
        return magnitudeLimit;
    if (number.scale >= 0) {
        uint64_t value = parseDigits(number.significant);
        for (int64_t i = 0; i < number.scale; ++i)
            value *= 10;
        return std::min(value, magnitudeLimit);
    }
    const std::string_view digits = number.significant;
    const uint64_t whole = parseDigits(digits.substr(0, static_cast<std::size_t>(integerDigits)));
    const std::string_view fraction = digits.substr(static_cast<std::size_t>(integerDigits));
    const char first = fraction[0];
    const bool moreAfterFirst = fraction.find_first_not_of('0', 1) != std::string_view::npos;
    const bool roundUp = first > '5' || (first == '5' && (moreAfterFirst || whole % 2 == 1));
    return std::min(whole + (roundUp ? 1 : 0), magnitudeLimit);
}

int32_t readDecimal(TypedText& in) {
    DecimalNumber number;
    number.negative = in.peek() == '-';
    in.takeAny("+-");
    readMantissaDigits(in, number, false);
    if (in.takeAny("."))
        readMantissaDigits(in, number, true);
    if (!number.hasDigits)
        return 0;
    number.scale += readExponent(in);
    return toInt32(number.negative, roundedMagnitude(number));
}

}  // namespace

int32_t parseTypedNumber(std::string_view text) {
    TypedText in(text);
    if (!in.takeAny("&"))
        return readDecimal(in);
    if (in.takeAny("Hh"))
        return readRadixDigits(in, 16);
    if (in.takeAny("Oo"))
        return readRadixDigits(in, 8);
    return 0;
}

}  // namespace tromel
