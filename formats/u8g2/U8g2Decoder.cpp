#include "formats/u8g2/U8g2Decoder.h"

#include "font/Failure.h"
#include "formats/csource/CSource.h"
#include "formats/u8g2/U8g2Bits.h"

namespace font {
namespace {

constexpr std::size_t HeaderSize = 23;

unsigned Word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<unsigned>(bytes[at] << 8 | bytes[at + 1]);
}

std::string Code(char32_t code) {
    return CHex(static_cast<unsigned>(code), 2);
}

}  // namespace

U8g2Font ParseU8g2Font(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < HeaderSize)
        throw Failure("holds " + std::to_string(bytes.size()) +
                      " bytes, fewer than the 23 of a u8g2 font's header");
    U8g2Font font;
    U8g2Header& h = font.header;
    h.build = bytes[1];
    h.zeroBits = bytes[2], h.oneBits = bytes[3];
    h.wBits = bytes[4], h.hBits = bytes[5], h.xBits = bytes[6], h.yBits = bytes[7];
    h.dxBits = bytes[8];
    h.boundsHeight = bytes[10];
    h.boundsY = static_cast<std::int8_t>(bytes[12]);
    // Fields of more than 8 bits, or runs of none, u8g2 cannot read.
    for (const unsigned bits : {h.zeroBits, h.oneBits, h.xBits, h.yBits, h.dxBits})
        if (bits < 1 || bits > 8)
            throw Failure("its header gives a field " + std::to_string(bits) +
                          " bits wide, where u8g2 reads 1 to 8");
    for (const unsigned bits : {h.wBits, h.hBits})
        if (bits > 8)
            throw Failure("its header gives a field " + std::to_string(bits) +
                          " bits wide, where u8g2 reads 0 to 8");

    // Codes below 0x100: one byte of code, one of size, until a size of 0.
    std::size_t at = HeaderSize;
    for (;;) {
        if (at + 2 > bytes.size())
            throw Failure("ends inside its glyphs below 0x100, without their end mark");
        const std::size_t size = bytes[at + 1];
        if (size == 0) break;
        const char32_t code = bytes[at];
        if (size < 2 || at + size > bytes.size())
            throw Failure("the glyph of " + Code(code) + " is " + std::to_string(size) +
                          " bytes long, past the end of the font");
        font.glyphs.push_back({code, at + 2, at + size});
        at += size;
    }

    // Codes from 0x100: behind the lookup table, whose first entry gives the
    // distance to the first glyph; two bytes of code, one of size, until a
    // code of 0.
    const std::size_t table = HeaderSize + Word(bytes, 21);
    // Fonts from before the lookup table end in the section's end mark alone.
    if (table + 2 == bytes.size() && Word(bytes, table) == 0) return font;
    if (table + 4 > bytes.size())
        throw Failure("its section of codes from 0x100 starts past the end of the font");
    at = table + Word(bytes, table);
    for (;;) {
        if (at + 2 > bytes.size())
            throw Failure("ends inside its glyphs from 0x100, without their end mark");
        const char32_t code = Word(bytes, at);
        if (code == 0) break;
        if (at + 3 > bytes.size()) throw Failure("ends inside the glyph of " + Code(code));
        const std::size_t size = bytes[at + 2];
        if (size < 3 || at + size > bytes.size())
            throw Failure("the glyph of " + Code(code) + " is " + std::to_string(size) +
                          " bytes long, past the end of the font or shorter than its head");
        font.glyphs.push_back({code, at + 3, at + size});
        at += size;
    }
    return font;
}

U8g2Decoded DecodeU8g2Glyph(std::span<const std::uint8_t> bytes, const U8g2Header& header,
                            const U8g2GlyphEntry& entry) {
    U8g2BitReader reader(bytes.subspan(entry.data, entry.end - entry.data));
    U8g2Glyph glyph;
    glyph.w = static_cast<int>(reader.Get(header.wBits));
    glyph.h = static_cast<int>(reader.Get(header.hBits));
    glyph.x = reader.GetSigned(header.xBits);
    glyph.y = reader.GetSigned(header.yBits);
    glyph.dx = reader.GetSigned(header.dxBits);
    if (reader.overrun) return {std::nullopt, "its fields go past its bytes"};
    // u8g2 draws nothing of a glyph without width; one without height is blank.
    if (glyph.w == 0 || glyph.h == 0) return {glyph, {}};

    const auto area = static_cast<unsigned>(glyph.w * glyph.h);
    unsigned at = 0;
    while (at < area) {
        const unsigned zeros = reader.Get(header.zeroBits);
        const unsigned ones = reader.Get(header.oneBits);
        do {
            if (reader.overrun) return {std::nullopt, "its runs go past its bytes"};
            if (at + zeros + ones > area)
                return {std::nullopt, "a run overflows its " + std::to_string(glyph.w) + " x " +
                                          std::to_string(glyph.h) + " box"};
            at += zeros;
            if (ones > 0) glyph.ones.emplace_back(at, ones);
            at += ones;
        } while (reader.Get(1) != 0);
        if (reader.overrun) return {std::nullopt, "its runs go past its bytes"};
    }
    return {glyph, {}};
}

}  // namespace font
