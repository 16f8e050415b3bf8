#pragma once

#include <string>

namespace font {

// The upper-case hexadecimal digits, by value.
inline constexpr char HexDigits[] = "0123456789ABCDEF";

// Numbers as the writers print them, without the locale and format parsing
// of printf: `value` in decimal, and in upper-case hexadecimal padded with
// zeros to at least `digits` digits.
std::string DecimalText(long value);
std::string HexText(unsigned long value, int digits);

// The same, added to the end of `out`, for writers that build a large text.
void AppendDecimal(std::string& out, long value);
void AppendHex(std::string& out, unsigned long value, int digits);

}  // namespace font
