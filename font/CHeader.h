#pragma once

#include <string>
#include <string_view>

#include "font/FontFolder.h"

namespace font {

// How a glyph's bytes are laid out in the C table: `Rows` takes the bitmap
// bytes of its glyph file as they are (7, or 14 from width 9); `Columns` gives
// one byte a column from the left, row r in bit r.
enum class CLayout { Rows, Columns };

// Whether `name` can prefix the table's names: letters, digits and '_', not
// starting with a digit, nor with a name reserved to the C implementation
// ("__", or "_" and a letter, which the upper-case macros make a capital).
bool IsCIdentifier(std::string_view name);

// `text` made into such a name: every other character becomes '_', and a name
// that would start with a digit, or be empty, gets a "font_" prefix.
std::string CIdentifierFrom(std::string_view text);

// A C99 and C++ header holding `font` as tables of code points, widths,
// offsets and bitmap bytes, all prefixed with `name`. Raises Failure for a
// font without glyphs.
std::string WriteCHeader(const Font& font, std::string_view name, CLayout layout);

}  // namespace font
