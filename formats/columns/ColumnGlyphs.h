#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/ImportReport.h"

namespace font {

// A glyph of a column font: one byte a column from the left.
struct ColumnGlyph {
    char32_t codePoint = 0;
    std::vector<std::uint8_t> columns;
};

// How a column font's bytes become rows: bit b draws font row b - firstBit
// (the bits below firstBit are not drawn), and what to do with ink that
// spans more than the 7 cell rows.
struct ColumnLayout {
    int firstBit = 0;
    bool clipTallInk = false;  // drop the rows below the 7th with a warning, else refuse the font
};

// The glyphs `ranges` pick as 7-row glyphs of their column count: the font
// row 0 comes to cell row 0 when the ink allows, else the first inked row
// does. `source` says which table they came from. Raises Failure, naming
// `fileName`, for ink taller than 7 rows that the layout does not clip.
ImportReport ImportColumnGlyphs(const std::vector<ColumnGlyph>& glyphs, const ColumnLayout& layout,
                                const std::string& fileName, const std::vector<CharRange>& ranges,
                                std::string source);

// A glyph's columns with its top row in bit `firstBit`.
std::vector<std::uint8_t> ShiftedColumns(const Glyph& glyph, int firstBit);

}  // namespace font
