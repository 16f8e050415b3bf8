#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "font/FontFolder.h"
#include "formats/sfnt/PixelOutline.h"

namespace font {

// Font units in one pixel: the em of 7 pixels is 896 units, and at 7 pixels
// per em and every multiple of it a pixel's edge falls on a device pixel's.
inline constexpr int PixelUnits = 128;
inline constexpr int EmPixels = glyph::CellGrid::RowCount;

// One glyph of an OpenType font as this program writes it.
struct SfntGlyph {
    std::string name;  // as the post table gives it
    std::optional<char32_t> codePoint;
    int advance = 0;                // pixels
    std::vector<Contour> contours;  // in pixels, y from the bottom of the last row
};

// What every table is made from: glyph 0 is .notdef, the others follow in
// code point order.
struct SfntFont {
    std::string family;
    int ascent = 6;   // rows above the baseline
    int lineGap = 1;  // pixels between one line's descent and the next one's ascent
    std::vector<SfntGlyph> glyphs;
};

// The glyphs of `font` with a .notdef before them; `outlines` says whether
// they carry their pixels' outlines or nothing (their pixels then live in a
// bitmap strike). Raises Failure for more glyphs than a font can number.
SfntFont SfntFontOf(const Font& font, std::string family, int ascent, int lineGap, bool outlines);

// The pixels of .notdef: a box, as wide as every glyph when they share one
// width, else 5 pixels.
Glyph NotdefGlyph(const Font& font);

using SfntTables = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

// The tables every font here has: head, hhea, maxp, OS/2, hmtx, cmap, loca,
// glyf, name and post.
SfntTables CommonTables(const SfntFont& font);

}  // namespace font
