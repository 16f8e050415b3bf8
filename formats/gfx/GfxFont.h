#pragma once

#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/CodeRun.h"
#include "font/FontFolder.h"

namespace font {

struct GfxOptions {
    std::string name;               // NAME, NAMEBitmaps and NAMEGlyphs
    int ascent = 6;                 // rows above the baseline, 0 to 7
    int lineHeight = 8;             // yAdvance, 1 to 255
    std::vector<CharRange> ranges;  // the characters to take; all when empty
};

// A header in the form of the Adafruit GFX library's fonts (its gfxfont.h
// structures), for setFont(). Each glyph is the tight box of its set pixels,
// packed row after row from the most significant bit, its width the advance;
// a code of the run without a glyph gets an entry of zeros. Raises Failure
// for a run past U+FFFF or a bitmap over 65,535 bytes.
FirmwareHeader WriteGfxHeader(const Font& font, const GfxOptions& options);

}  // namespace font
