#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "font/FontFolder.h"

namespace font {

// A chart of a whole font: rows of 16 cells, each row the code points
// U+XXX0 to U+XXXF, and only the rows that hold a glyph.
struct ChartRow {
    char32_t first;
    std::array<const Glyph*, 16> cells{};  // null where the font has no glyph
};
std::vector<ChartRow> ChartRows(const Font& font);

// The chart's title: the folder's name, the number of glyphs and the range
// of their widths.
std::string ChartTitle(const Font& font, std::string_view folderName);

// The chart as text: a heading of the column digits, then for each row its
// label and the 7 rows of its 16 cells, # and . inside each width and spaces
// beyond it, a | between cells.
std::string ChartText(const Font& font);

// The chart as a PNG, each glyph pixel `scale` × `scale` pixels, its labels
// in the built-in label font. The same font gives the same bytes. Raises
// Failure for a font without glyphs, and for a chart larger than
// MaxChartPixels, which import would not read back.
std::vector<std::uint8_t> ChartPng(const Font& font, std::string_view title, int scale);

}  // namespace font
