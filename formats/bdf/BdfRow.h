#pragma once

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

}  // namespace font
