#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/FontFolder.h"
#include "font/FontFormat.h"
#include "formats/lvgl/LvglCmap.h"

namespace font::lvgl {

// A glyph as both LVGL formats write it: the box of its set pixels, placed
// from the pen and the baseline, and those pixels 1 bit each.
struct LaidGlyph {
    char32_t code = 0;
    int advance = 0;  // whole pixels: the glyph's width
    int boxWidth = 0, boxHeight = 0, offsetX = 0, offsetY = 0;
    std::vector<std::uint8_t> bitmap;  // rows packed from the most significant bit, no padding
};

struct LayoutOptions {
    int ascent = 6;  // rows above the baseline
    int lineHeight = 8;
    std::vector<CharRange> ranges;  // the characters to take; all when empty
};

// A font laid out for LVGL: glyph i + 1 is glyphs[i], in ascending order of
// codes, and the character maps that give them.
struct Layout {
    int ascent = 6;
    int lineHeight = 8;
    std::vector<LaidGlyph> glyphs;
    std::vector<CmapTable> cmaps;

    int BaseLine() const { return lineHeight - ascent; }
};

// Raises Failure, naming `format`, when no glyph is picked or more than the
// 65,535 a font's glyph ids reach.
Layout LayOut(const Font& font, const LayoutOptions& options, const std::string& format);

// The layout an export asks for with --ascent, --line-height and --chars.
Layout LayOut(const WriteRequest& request, const std::string& format);

}  // namespace font::lvgl
