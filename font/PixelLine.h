#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "font/FontFolder.h"

namespace font {

// A line of pixels 7 rows high and any number of columns wide.
class PixelLine {
  public:
    static constexpr int Rows = glyph::CellGrid::RowCount;

    int Columns() const { return columns_; }
    bool Pixel(int col, int row) const { return rows_[row][col] != 0; }

    // Adds `glyph`'s columns at the right end.
    void Append(const Glyph& glyph);
    void AppendBlank(int columns);

    // The rows as text, '#' for a set pixel and '.' for a clear one, each row
    // ending in a newline.
    std::string Art() const;

  private:
    int columns_ = 0;
    std::array<std::vector<std::uint8_t>, Rows> rows_;  // 1 for a set pixel, else 0
};

// Sets `text` in `font`: glyph after glyph at their widths, `spacing` blank
// columns between two glyphs. A character the font has no glyph for raises
// Failure naming it and `fontName`.
PixelLine SetText(const Font& font, std::u32string_view text, int spacing,
                  std::string_view fontName);

}  // namespace font
