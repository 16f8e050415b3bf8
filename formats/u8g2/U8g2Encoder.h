#pragma once

#include <cstdint>
#include <vector>

#include "font/CharRange.h"
#include "font/FontFolder.h"

namespace font {

// How glyph boxes are built, as u8g2's three common build modes: each glyph
// the box of its ink, every glyph the font's full height and its own width,
// or every glyph the font's full height and its widest advance.
enum class U8g2Build { Proportional = 0, Common = 1, Monospace = 2 };

struct U8g2Options {
    int ascent = 6;  // rows above the baseline, 0 to 7
    U8g2Build build = U8g2Build::Proportional;
    std::vector<CharRange> ranges;  // the characters to take; all when empty
};

// The bytes of a u8g2 font: its 23-byte header, the glyphs below 0x100, the
// lookup table and the glyphs from 0x100, with the run widths that make it
// smallest. Raises Failure for a font without glyphs, a code past U+FFFF or
// a glyph over 254 bytes.
std::vector<std::uint8_t> EncodeU8g2Font(const Font& font, const U8g2Options& options);

// The glyphs `EncodeU8g2Font` takes: those `ranges` pick. Raises Failure
// when there are none, or for codes past U+FFFF, naming them.
std::vector<const Glyph*> U8g2Glyphs(const Font& font, const std::vector<CharRange>& ranges);

}  // namespace font
