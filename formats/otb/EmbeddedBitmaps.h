#pragma once

#include <cstdint>
#include <vector>

#include "font/Glyph.h"

namespace font {

struct EmbeddedBitmaps {
    std::vector<std::uint8_t> location;  // EBLC
    std::vector<std::uint8_t> data;      // EBDT
};

// One strike of 7 pixels per em holding `glyphs` in glyph order: each glyph
// its whole cell, as wide as the glyph and 7 rows high, with its top at the
// ascent and its width as advance; a glyph of width 0 has an empty bitmap.
EmbeddedBitmaps WriteEmbeddedBitmaps(const std::vector<Glyph>& glyphs, int ascent);

}  // namespace font
