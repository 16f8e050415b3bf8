#include <cstddef>
#include <cstdint>
#include <set>
#include <utility>

#include "font/ImportReport.h"
#include "formats/sfnt/PixelOutline.h"

namespace {

constexpr int Rows = glyph::CellGrid::RowCount;

// Whether the contours wind once clockwise around the centre of every set
// pixel and not at all around any other: each pixel covered exactly once.
bool CoversExactly(const std::vector<font::Contour>& contours, const font::Glyph& glyph) {
    for (int row = 0; row < Rows; ++row)
        for (int col = 0; col < glyph.width; ++col) {
            const double x = col + 0.5, y = Rows - row - 0.5;
            int winding = 0;
            for (const font::Contour& contour : contours)
                for (std::size_t i = 0; i < contour.size(); ++i) {
                    const font::GridPoint a = contour[i], b = contour[(i + 1) % contour.size()];
                    if (a.x == b.x && a.x > x && y > std::min(a.y, b.y) && y < std::max(a.y, b.y))
                        winding += b.y < a.y ? 1 : -1;
                }
            if (winding != (glyph.Pixel(col, row) ? 1 : 0)) return false;
        }
    return true;
}

// Every point on the grid, none twice in a contour, every edge along it.
bool OnTheGrid(const std::vector<font::Contour>& contours, int width) {
    for (const font::Contour& contour : contours) {
        if (contour.size() < 4) return false;
        std::set<std::pair<int, int>> seen;
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const font::GridPoint p = contour[i], next = contour[(i + 1) % contour.size()];
            if (p.x < 0 || p.x > width || p.y < 0 || p.y > Rows) return false;
            if (!seen.insert({p.x, p.y}).second) return false;
            if (p.x != next.x && p.y != next.y) return false;
        }
    }
    return true;
}

}  // namespace

// Any glyph's outline covers its set pixels exactly once, with every point a
// distinct corner on the grid.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int width = data[0] % 17;
    font::Glyph glyph = font::BlankGlyph(U'x', width);
    for (int row = 0; row < Rows; ++row)
        for (int col = 0; col < width; ++col) {
            const std::size_t bit = static_cast<std::size_t>(row * 16 + col);
            if (1 + bit / 8 < size && (data[1 + bit / 8] >> (bit % 8)) & 1)
                font::SetPixel(glyph, col, row);
        }
    const std::vector<font::Contour> contours = font::TraceOutline(glyph);
    if (!CoversExactly(contours, glyph) || !OnTheGrid(contours, width)) __builtin_trap();
    return 0;
}
