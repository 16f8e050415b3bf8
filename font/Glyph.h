#pragma once

#include <cstdint>

#include "glyph/GlyphFile.h"

namespace font {

// One character of a font: its code point, its width in columns (0 to 16) and
// its 7 rows as bits, column 0 in the most significant of 16; bits at or
// beyond the width are clear. A glyph is small enough to keep 100,000 of them.
struct Glyph {
    char32_t codePoint = 0;
    int width = 0;
    glyph::GlyphRows rows{};

    bool Pixel(int col, int row) const {
        return col >= 0 && col < width && row >= 0 && row < glyph::CellGrid::RowCount &&
               ((rows[static_cast<std::size_t>(row)] >> (15 - col)) & 1) != 0;
    }
};

// A blank glyph of the given width, every column inside it clear.
Glyph BlankGlyph(char32_t codePoint, int width);

}  // namespace font
