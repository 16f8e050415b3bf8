#pragma once

#include <vector>

#include "font/Glyph.h"

namespace font {

// A corner of the pixel grid: x from the glyph's left edge, y upwards from
// the bottom of its last row, both in pixels.
struct GridPoint {
    int x = 0;
    int y = 0;
    bool operator==(const GridPoint&) const = default;
};

// A closed outline through its corners; the last corner joins the first.
using Contour = std::vector<GridPoint>;

// The outline of the glyph's set pixels: one contour around each region of
// edge-adjacent pixels and one around each hole in it, wound as TrueType
// fills them (the ink on the right, so outer contours run clockwise). Pixels
// that meet only at a corner stay apart. Every contour is a simple polygon
// with a point at each corner only.
std::vector<Contour> TraceOutline(const Glyph& glyph);

}  // namespace font
