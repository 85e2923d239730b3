// Reads the number a user typed into a settings text box.
#pragma once

#include <cstdint>
#include <string_view>

namespace tromel {

// Reads the longest leading number of `text` and rounds it to the nearest integer, halves to
// the even neighbour. Accepted: a decimal number with optional sign, fraction and exponent
// (E or D, either case), or "&H" hexadecimal and "&O" octal digits. Blanks, tabs and line
// feeds before and inside the number are skipped; reading stops at the first character that
// does not fit. Text without a number gives 0. Results beyond 32 bits saturate at the nearest
// 32-bit limit, however long the digits or large the exponent.
int32_t parseTypedNumber(std::string_view text);

}  // namespace tromel
