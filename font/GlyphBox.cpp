#include "font/GlyphBox.h"

#include <algorithm>

namespace font {

GlyphBox InkBox(const Glyph& glyph) {
    int left = glyph.width, right = -1, top = glyph::CellGrid::RowCount, bottom = -1;
    for (int row = 0; row < glyph::CellGrid::RowCount; ++row)
        for (int col = 0; col < glyph.width; ++col)
            if (glyph.Pixel(col, row)) {
                left = std::min(left, col), right = std::max(right, col);
                top = std::min(top, row), bottom = std::max(bottom, row);
            }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

void AppendBoxBits(const Glyph& glyph, const GlyphBox& box, std::vector<std::uint8_t>& out) {
    int bit = 0;
    for (int row = box.top; row < box.top + box.height; ++row)
        for (int col = box.left; col < box.left + box.width; ++col, ++bit) {
            if (bit % 8 == 0) out.push_back(0);
            if (glyph.Pixel(col, row)) out.back() |= static_cast<std::uint8_t>(0x80 >> bit % 8);
        }
}

}  // namespace font
