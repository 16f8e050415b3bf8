#include "formats/sfnt/SfntFont.h"

#include <algorithm>
#include <cstdio>

#include "font/Failure.h"
#include "font/ImportReport.h"

namespace font {
namespace {

// Glyph numbers are 16 bits, and 0xFFFF is no glyph.
constexpr std::size_t MaxGlyphs = 0xFFFF;

std::string GlyphName(char32_t cp) {
    char name[16];
    std::snprintf(name, sizeof name, cp <= 0xFFFF ? "uni%04X" : "u%05X", static_cast<unsigned>(cp));
    return name;
}

}  // namespace

Glyph NotdefGlyph(const Font& font) {
    int width = 5;
    if (!font.glyphs.empty() &&
        std::all_of(font.glyphs.begin(), font.glyphs.end(),
                    [&font](const Glyph& g) { return g.width == font.glyphs.front().width; }))
        width = std::max(font.glyphs.front().width, 3);
    // The box leaves the last column clear, as the space between glyphs.
    const int right = width - 2;
    Glyph box = BlankGlyph(0, width);
    for (int row = 0; row < EmPixels; ++row)
        for (int col = 0; col <= right; ++col)
            if (row == 0 || row == EmPixels - 1 || col == 0 || col == right)
                SetPixel(box, col, row);
    return box;
}

SfntFont SfntFontOf(const Font& font, std::string family, int ascent, int lineGap, bool outlines) {
    if (font.glyphs.empty()) throw Failure("no glyphs to export");
    if (font.glyphs.size() + 1 > MaxGlyphs)
        throw Failure("an OpenType font holds at most " + std::to_string(MaxGlyphs - 1) +
                      " characters; this one would have " + std::to_string(font.glyphs.size()));
    SfntFont sfnt{std::move(family), ascent, lineGap, {}};
    const Glyph notdef = NotdefGlyph(font);
    sfnt.glyphs.push_back({".notdef", std::nullopt, notdef.width, TraceOutline(notdef)});
    for (const Glyph& glyph : font.glyphs)
        sfnt.glyphs.push_back({GlyphName(glyph.codePoint), glyph.codePoint, glyph.width,
                               outlines ? TraceOutline(glyph) : std::vector<Contour>{}});
    return sfnt;
}

}  // namespace font
