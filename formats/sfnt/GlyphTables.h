#pragma once

#include <cstdint>
#include <vector>

#include "formats/sfnt/SfntFont.h"

namespace font {

// The extent of a glyph's outline in font units.
struct Box {
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// The glyf and loca tables, with the figures head, hhea, maxp and hmtx take
// from the outlines.
struct GlyphTables {
    std::vector<std::uint8_t> glyf;
    std::vector<std::uint8_t> loca;  // long offsets
    std::vector<Box> boxes;          // one a glyph; all 0 for one without contours
    Box fontBox;                     // of every glyph with contours
    int maxPoints = 0;
    int maxContours = 0;
};

// The outlines of every glyph, each contour's points on the curve at the
// pixel corners, shifted down by the descent so that y = 0 is the baseline.
GlyphTables WriteGlyphTables(const SfntFont& font);

}  // namespace font
