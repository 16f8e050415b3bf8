#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace font {

// The header of a u8g2 font, the parts a reader needs.
struct U8g2Header {
    int build = 0;
    unsigned zeroBits = 0, oneBits = 0;
    unsigned wBits = 0, hBits = 0, xBits = 0, yBits = 0, dxBits = 0;
    int boundsHeight = 0, boundsY = 0;  // the font's bounding box, y above the baseline
};

// Where a glyph lies in the font's bytes.
struct U8g2GlyphEntry {
    char32_t code = 0;
    std::size_t data = 0;  // its fields, after the code and the size
    std::size_t end = 0;   // one past its last byte
};

// A decoded glyph: its box (y of the bottom row above the baseline), its
// advance, and the runs of set pixels as (first, count) in box order.
struct U8g2Glyph {
    int w = 0, h = 0, x = 0, y = 0, dx = 0;
    std::vector<std::pair<unsigned, unsigned>> ones;
};

// A u8g2 font's header and the glyphs of both of its sections, walked as
// u8g2 walks them. Raises Failure (without a file name) for a font cut short,
// a header u8g2 cannot read, or a glyph whose size jumps past the end.
struct U8g2Font {
    U8g2Header header;
    std::vector<U8g2GlyphEntry> glyphs;
};
U8g2Font ParseU8g2Font(std::span<const std::uint8_t> bytes);

// The glyph's fields and runs; the reason it cannot be drawn when its runs
// overflow its box or go past its bytes.
struct U8g2Decoded {
    std::optional<U8g2Glyph> glyph;
    std::string problem;
};
U8g2Decoded DecodeU8g2Glyph(std::span<const std::uint8_t> bytes, const U8g2Header& header,
                            const U8g2GlyphEntry& entry);

}  // namespace font
