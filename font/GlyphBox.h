#pragma once

#include <cstdint>
#include <vector>

#include "font/Glyph.h"

namespace font {

// The box of a glyph's set pixels, by its columns and rows; empty when no
// pixel is set.
struct GlyphBox {
    int left = 0, top = 0, width = 0, height = 0;

    bool Empty() const { return width == 0; }
    int Bottom() const { return top + height - 1; }
};

GlyphBox InkBox(const Glyph& glyph);

// Appends the box's pixels to `out` as the display libraries' fonts hold
// them: row after row, most significant bit first, without row padding,
// starting on a byte of their own.
void AppendBoxBits(const Glyph& glyph, const GlyphBox& box, std::vector<std::uint8_t>& out);

}  // namespace font
