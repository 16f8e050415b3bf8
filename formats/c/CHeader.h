#pragma once

#include <string>
#include <string_view>

#include "font/FontFolder.h"
#include "font/TextOut.h"
#include "formats/csource/CSource.h"

namespace font {

// How a glyph's bytes are laid out in the C table: `Rows` takes the bitmap
// bytes of its glyph file as they are (7, or 14 from width 9); `Columns` gives
// one byte a column from the left, row r in bit r.
enum class CLayout { Rows, Columns };

// A C99 and C++ header holding `font` as tables of code points, widths,
// offsets and bitmap bytes, all prefixed with `name`, made into `out`.
// Raises Failure for a font without glyphs.
void WriteCHeader(const Font& font, std::string_view name, CLayout layout, TextOut& out);

}  // namespace font
