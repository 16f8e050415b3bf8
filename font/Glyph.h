#pragma once

#include <string>
#include <vector>

#include "glyph/CellGrid.h"

namespace font {

// One character of a font: its code point, its width in columns (0 to 16) and
// its 7 rows, held in the same cell grid the editor paints.
struct Glyph {
    char32_t codePoint = 0;
    int width = 0;
    glyph::CellGrid cells;

    bool Pixel(int col, int row) const { return glyph::IsSet(cells.Get(col, row)); }
};

// A blank glyph of the given width, every column inside it clear.
Glyph BlankGlyph(char32_t codePoint, int width);

}  // namespace font
