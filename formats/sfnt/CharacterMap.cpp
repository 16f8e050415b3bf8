#include "formats/sfnt/CharacterMap.h"

#include "formats/sfnt/BigEndianBytes.h"

namespace font {
namespace {

// Characters with consecutive code points on consecutive glyphs.
struct Run {
    char32_t first;
    char32_t last;
    unsigned firstGlyph;
};

std::vector<Run> Runs(const SfntFont& font, char32_t below) {
    std::vector<Run> runs;
    for (std::size_t g = 0; g < font.glyphs.size(); ++g) {
        const auto cp = font.glyphs[g].codePoint;
        if (!cp || *cp >= below) continue;
        const auto glyph = static_cast<unsigned>(g);
        if (!runs.empty() && runs.back().last + 1 == *cp &&
            runs.back().firstGlyph + (runs.back().last - runs.back().first) + 1 == glyph)
            runs.back().last = *cp;
        else
            runs.push_back({*cp, *cp, glyph});
    }
    return runs;
}

// The most segments a format 4 subtable's 16-bit length leaves room for,
// the closing one included.
constexpr std::size_t MaxSegments = (0xFFFF - 16) / 8;

// Format 4 with one segment a run, each mapped by its delta alone, and the
// closing segment at U+FFFF; false when the runs do not fit.
bool WriteFormat4(const std::vector<Run>& runs, BigEndianBytes& out) {
    if (runs.size() + 1 > MaxSegments) return false;
    const auto segments = static_cast<unsigned>(runs.size() + 1);
    unsigned power = 1, log2 = 0;
    while (power * 2 <= segments) power *= 2, ++log2;
    out.U16(4);
    out.U16(16 + 8 * segments);
    out.U16(0);  // language
    out.U16(segments * 2);
    out.U16(power * 2);
    out.U16(log2);
    out.U16(segments * 2 - power * 2);
    for (const Run& run : runs) out.U16(run.last);
    out.U16(0xFFFF);
    out.U16(0);  // reserved
    for (const Run& run : runs) out.U16(run.first);
    out.U16(0xFFFF);
    // The delta is added to the code modulo 65536.
    for (const Run& run : runs) out.U16((run.firstGlyph - run.first) & 0xFFFFu);
    out.U16(1);
    for (std::size_t i = 0; i < segments; ++i) out.U16(0);  // no glyph index arrays
    return true;
}

void WriteFormat12(const std::vector<Run>& runs, BigEndianBytes& out) {
    out.U16(12);
    out.U16(0);
    out.U32(static_cast<std::uint32_t>(16 + 12 * runs.size()));
    out.U32(0);  // language
    out.U32(static_cast<std::uint32_t>(runs.size()));
    for (const Run& run : runs) {
        out.U32(run.first);
        out.U32(run.last);
        out.U32(run.firstGlyph);
    }
}

}  // namespace

std::vector<std::uint8_t> WriteCharacterMap(const SfntFont& font) {
    BigEndianBytes basic;
    const bool fits = WriteFormat4(Runs(font, 0xFFFF), basic);
    if (!fits) WriteFormat4({}, basic);
    const std::vector<Run> all = Runs(font, 0x110000);
    const bool full = !fits || (!all.empty() && all.back().last >= 0xFFFF);

    BigEndianBytes out;
    const unsigned subtables = full ? 2 : 1;
    out.U16(0);
    out.U16(subtables);
    const std::uint32_t first = 4 + 8 * subtables;
    out.U16(3);
    out.U16(1);
    out.U32(first);
    if (full) {
        out.U16(3);
        out.U16(10);
        out.U32(first + static_cast<std::uint32_t>(basic.Size()));
    }
    out.Append(basic.Bytes());
    if (full) WriteFormat12(all, out);
    return out.Take();
}

}  // namespace font
