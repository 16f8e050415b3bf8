#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/ImportReport.h"

namespace font {

// The largest picture a sheet is read from.
inline constexpr long MaxSheetPixels = 16L << 20;

// How a sheet's cells lie in its picture. Cell sizes count glyph pixels, each
// `scale` × `scale` picture pixels; the origin and the gaps count picture
// pixels, as an image editor shows them.
struct SheetGrid {
    int cellWidth = 0, cellHeight = 0;
    char32_t first = 0x20;
    long perRow = 0;  // 0: as many as fit
    long originX = 0, originY = 0;
    long gapX = 0, gapY = 0;
    int scale = 1;
    bool proportional = false;
};

// The glyphs of a picture of fixed cells, read left to right and top to
// bottom. Ink is the darker colour: each pixel's luminance against the
// midpoint of the darkest and the lightest in the picture, a transparent
// pixel being background (and every opaque pixel ink when all of them are
// one colour), sampled at the centre of each glyph pixel. Blank cells after
// the last inked one are the sheet's padding and are not read. Raises
// Failure, naming `fileName`, for a grid that does not fit the picture
// (naming the first cell that does not) and for ink taller than 7 rows.
ImportReport ReadSheet(std::span<const std::uint8_t> png, const std::string& fileName,
                       const SheetGrid& grid, const std::vector<CharRange>& ranges,
                       long maxPixels = MaxSheetPixels);

}  // namespace font
