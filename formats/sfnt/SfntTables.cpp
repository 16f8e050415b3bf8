#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/sfnt/BigEndianBytes.h"
#include "formats/sfnt/CharacterMap.h"
#include "formats/sfnt/GlyphTables.h"
#include "formats/sfnt/NameTables.h"
#include "formats/sfnt/SfntFont.h"

namespace font {
namespace {

constexpr int EmUnits = EmPixels * PixelUnits;

int Units(int pixels) {
    return pixels * PixelUnits;
}

// Seconds from 1904 to 1970, the epochs of OpenType's dates and of Unix time.
constexpr std::uint64_t UnixEpoch = 2082844800;

// The font's date in seconds since 1904: SOURCE_DATE_EPOCH when set, as
// reproducible builds ask, else 1970, so that the same glyphs always give
// the same file.
std::uint64_t CreationTime() {
    const char* given = std::getenv("SOURCE_DATE_EPOCH");
    std::uint64_t seconds = 0;
    if (given != nullptr) {
        const std::string_view text(given);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (error != std::errc() || end != text.data() + text.size() || seconds > (1ULL << 40))
            seconds = 0;
    }
    return UnixEpoch + seconds;
}

struct Metrics {
    int advanceMax = 0;
    int minLeft = 0, minRight = 0, maxExtent = 0;
    long averageAdvance = 0;
};

Metrics HorizontalMetrics(const SfntFont& font, const GlyphTables& outlines) {
    Metrics m;
    bool any = false;
    long sum = 0, count = 0;
    for (std::size_t g = 0; g < font.glyphs.size(); ++g) {
        const int advance = Units(font.glyphs[g].advance);
        m.advanceMax = std::max(m.advanceMax, advance);
        if (advance > 0) sum += advance, ++count;
        if (font.glyphs[g].contours.empty()) continue;
        const Box& box = outlines.boxes[g];
        const int left = box.xMin, right = advance - box.xMax, extent = box.xMax;
        m.minLeft = any ? std::min(m.minLeft, left) : left;
        m.minRight = any ? std::min(m.minRight, right) : right;
        m.maxExtent = any ? std::max(m.maxExtent, extent) : extent;
        any = true;
    }
    m.averageAdvance = count == 0 ? 0 : (sum + count / 2) / count;
    return m;
}

std::vector<std::uint8_t> Head(const GlyphTables& outlines) {
    BigEndianBytes out;
    out.U32(0x00010000);
    out.U32(0x00010000);  // font revision 1.0
    out.U32(0);           // the checksum adjustment, which HarfBuzz sets
    out.U32(0x5F0F3CF5);
    out.U16(0x0009);  // the baseline at y = 0, whole pixels per em
    out.U16(EmUnits);
    for (int date = 0; date < 2; ++date) {  // created and modified
        out.U32(static_cast<std::uint32_t>(CreationTime() >> 32));
        out.U32(static_cast<std::uint32_t>(CreationTime() & 0xFFFFFFFFu));
    }
    out.I16(outlines.fontBox.xMin);
    out.I16(outlines.fontBox.yMin);
    out.I16(outlines.fontBox.xMax);
    out.I16(outlines.fontBox.yMax);
    out.U16(0);  // regular
    out.U16(EmPixels);
    out.I16(2);
    out.I16(1);  // long loca offsets
    out.I16(0);
    return out.Take();
}

std::vector<std::uint8_t> HorizontalHeader(const SfntFont& font, const Metrics& m) {
    BigEndianBytes out;
    out.U32(0x00010000);
    out.I16(Units(font.ascent));
    out.I16(-Units(EmPixels - font.ascent));
    out.I16(Units(font.lineGap));
    out.U16(static_cast<unsigned>(m.advanceMax));
    out.I16(m.minLeft);
    out.I16(m.minRight);
    out.I16(m.maxExtent);
    out.I16(1);  // upright caret
    out.I16(0);
    out.I16(0);
    for (int i = 0; i < 5; ++i) out.I16(0);  // reserved, then the metric data format
    out.U16(static_cast<unsigned>(font.glyphs.size()));
    return out.Take();
}

std::vector<std::uint8_t> MaximumProfile(const SfntFont& font, const GlyphTables& outlines) {
    BigEndianBytes out;
    out.U32(0x00010000);
    out.U16(static_cast<unsigned>(font.glyphs.size()));
    out.U16(static_cast<unsigned>(outlines.maxPoints));
    out.U16(static_cast<unsigned>(outlines.maxContours));
    out.U16(0);
    out.U16(0);
    out.U16(2);                              // the twilight zone is there, but empty
    for (int i = 0; i < 8; ++i) out.U16(0);  // no instructions, no composites
    return out.Take();
}

std::vector<std::uint8_t> HorizontalMetricsTable(const SfntFont& font,
                                                 const GlyphTables& outlines) {
    BigEndianBytes out;
    for (std::size_t g = 0; g < font.glyphs.size(); ++g) {
        out.U16(static_cast<unsigned>(Units(font.glyphs[g].advance)));
        out.I16(outlines.boxes[g].xMin);
    }
    return out.Take();
}

// The top of the outline of `cp`'s glyph, or 0 when the font has none.
int InkTop(const SfntFont& font, const GlyphTables& outlines, char32_t cp) {
    for (std::size_t g = 0; g < font.glyphs.size(); ++g)
        if (font.glyphs[g].codePoint == cp && !font.glyphs[g].contours.empty())
            return outlines.boxes[g].yMax;
    return 0;
}

std::vector<std::uint8_t> OS2(const SfntFont& font, const GlyphTables& outlines, const Metrics& m) {
    char32_t first = 0xFFFF, last = 0;
    for (const SfntGlyph& glyph : font.glyphs)
        if (glyph.codePoint)
            first = std::min(first, *glyph.codePoint), last = std::max(last, *glyph.codePoint);
    const int ascender = Units(font.ascent), descender = Units(EmPixels - font.ascent);
    BigEndianBytes out;
    out.U16(4);
    out.I16(static_cast<int>(m.averageAdvance));
    out.U16(400);  // regular weight
    out.U16(5);    // normal width
    out.U16(0);    // installable
    // Sub- and superscripts at 5 pixels, a pixel below and 3 above the baseline.
    for (const int yOffset : {Units(1), Units(3)}) {
        out.I16(Units(5));
        out.I16(Units(5));
        out.I16(0);
        out.I16(yOffset);
    }
    out.I16(PixelUnits);
    out.I16(Units((font.ascent + 1) / 3));
    out.I16(0);                              // no family class
    for (int i = 0; i < 10; ++i) out.U8(0);  // no PANOSE classification
    for (int i = 0; i < 4; ++i) out.U32(0);  // Unicode ranges not declared
    out.Tag("NONE");
    out.U16(0x00C0);  // regular; the typographic metrics are the line's
    out.U16(std::min<char32_t>(first, 0xFFFF));
    out.U16(std::min<char32_t>(last, 0xFFFF));
    out.I16(ascender);
    out.I16(-descender);
    out.I16(Units(font.lineGap));
    out.U16(static_cast<unsigned>(std::max(ascender, outlines.fontBox.yMax)));
    out.U16(static_cast<unsigned>(std::max(descender, -outlines.fontBox.yMin)));
    out.U32(0);
    out.U32(0);
    out.I16(InkTop(font, outlines, U'x'));
    out.I16(InkTop(font, outlines, U'H'));
    out.U16(0);
    out.U16(' ');
    out.U16(0);  // no layout tables
    return out.Take();
}

}  // namespace

SfntTables CommonTables(const SfntFont& font) {
    GlyphTables outlines = WriteGlyphTables(font);
    const Metrics metrics = HorizontalMetrics(font, outlines);
    SfntTables tables;
    tables.emplace_back("head", Head(outlines));
    tables.emplace_back("hhea", HorizontalHeader(font, metrics));
    tables.emplace_back("maxp", MaximumProfile(font, outlines));
    tables.emplace_back("OS/2", OS2(font, outlines, metrics));
    tables.emplace_back("hmtx", HorizontalMetricsTable(font, outlines));
    tables.emplace_back("cmap", WriteCharacterMap(font));
    tables.emplace_back("loca", std::move(outlines.loca));
    tables.emplace_back("glyf", std::move(outlines.glyf));
    tables.emplace_back("name", WriteNameTable(font));
    tables.emplace_back("post", WritePostTable(font));
    return tables;
}

}  // namespace font
