#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace font {

// Decodes one bitmap line of a one-bit BDF glyph into `row`, `rowBytes`
// bytes that start zeroed, as FreeType's BDF reader does: its leading hex
// digits, at most two a byte, the rest of a short line left clear (an odd
// last digit lands in the low nibble), the bits past `width` cleared in the
// byte last written. False, and `row` untouched, for a line holding anything
// but hex digits followed by blanks.
bool DecodeBdfRow(std::string_view line, std::uint8_t* row, unsigned rowBytes, unsigned width);

inline bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// How many hex digits `text` starts with.
std::size_t LeadingHexDigits(std::string_view text);

// Decodes `digits`, hex digits alone, as DecodeBdfRow does.
void DecodeBdfDigits(std::string_view digits, std::uint8_t* row, unsigned rowBytes, unsigned width);

}  // namespace font
