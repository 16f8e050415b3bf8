#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "font/FontFormat.h"
#include "formats/lvgl/LvglBitmap.h"
#include "formats/lvgl/LvglCmap.h"

namespace font::lvgl {

// One glyph of an LVGL font (lv_font_fmt_txt_glyph_dsc_t): its advance in
// 1/16 pixel, and its box, whose bottom left corner lies `offsetX` right of
// the pen and `offsetY` above the baseline.
struct FaceGlyph {
    std::int64_t advance = 0;
    std::int64_t boxWidth = 0, boxHeight = 0, offsetX = 0, offsetY = 0;
    std::size_t bitmapBit = 0;  // where its pixels start in Face::bitmap, in bits
    std::size_t bitmapEnd = 0;  // the bit its pixels must end by
};

// An LVGL font as either of its formats holds it.
struct Face {
    std::string source;  // what import reports it read: "its LVGL font font5x7"
    std::int64_t lineHeight = 0, baseLine = 0;
    int bpp = 1;
    BitmapFormat bitmapFormat = BitmapFormat::Plain;
    int stride = 0;  // bytes each bitmap row is rounded up to; 0 for none
    bool kerning = false;
    std::vector<std::uint8_t> bitmap;
    std::vector<FaceGlyph> glyphs;  // by glyph id; id 0 is none
    std::vector<CmapTable> cmaps;
};

// The glyphs of `face` on the 7 rows: each glyph's box under its offsets,
// its advance (rounded as LVGL rounds it) as its width, a pixel set where its
// value is at least half the greatest. Row 0 is the one under --ascent when
// it is given, else under the font's own ascent (its line height above its
// baseline) when that keeps every glyph's ink in the 7 rows, else the highest
// ink. Raises Failure, naming `fileName`, for ink over more than 7 rows and
// for bitmaps that end before their boxes do.
ImportReport ImportFace(const Face& face, const std::string& fileName, const ReadOptions& options);

}  // namespace font::lvgl
