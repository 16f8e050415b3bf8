#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "font/BitmapPixels.h"
#include "formats/bitmapimport/BdfGlyphCode.h"

namespace font {

// A BDF font in a form the parser cannot promise FreeType's reading of; what
// says what it met, and where.
class UnsureBdf : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A glyph of a BDF font that has a code, as FreeType's reader keeps it; small,
// for fonts of tens of thousands of glyphs.
struct BdfGlyph {
    std::int32_t code = 0;
    std::int16_t advance = 0;  // DWIDTH, or the box's width without one
    std::int16_t left = 0;     // the box's x offset
    std::int16_t top = 0;      // rows the box rises above the baseline
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint32_t offset = 0;  // of its top row in the font's bitmaps
};

// A one-bit BDF font as FreeType's reader makes it.
struct BdfFont {
    long ascent = 0;  // FONT_ASCENT, else the font box's
    long descent = 0;
    // CHARSET_REGISTRY and CHARSET_ENCODING when both are given and not empty.
    std::optional<std::string_view> registry, encoding;
    std::vector<BdfGlyph> glyphs;  // the glyphs with a code, in code order
    // The glyphs FreeType keeps without a code (a negative one, or one past
    // Unicode), with their names and codes as the file gives them, in file order.
    std::vector<BdfGlyphCode> uncoded;
    std::vector<std::uint8_t> bitmaps;

    BitmapView View(const BdfGlyph& glyph) const;
};

// Reads `text` (which starts as a BDF font does) in one pass. Raises
// UnsureBdf for anything where it cannot promise FreeType's result: a grey
// font, a second glyph for a code, and any line of a form FreeType reads
// differently from a plain reading or refuses (see BdfParse.cpp). Raises
// Failure, naming `fileName`, for glyph boxes BdfBoxBudget refuses.
BdfFont ParseBdf(std::string_view text, const std::string& fileName);

}  // namespace font
