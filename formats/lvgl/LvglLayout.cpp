#include "formats/lvgl/LvglLayout.h"

#include <algorithm>

#include "font/Failure.h"
#include "font/GlyphBox.h"

namespace font::lvgl {
namespace {

constexpr std::size_t MostGlyphs = 0xFFFF;

LaidGlyph Lay(const Glyph& glyph, int ascent) {
    LaidGlyph laid;
    laid.code = glyph.codePoint;
    laid.advance = glyph.width;
    const GlyphBox box = InkBox(glyph);
    if (box.Empty()) return laid;
    laid.boxWidth = box.width;
    laid.boxHeight = box.height;
    laid.offsetX = box.left;
    // The bottom of row r lies ascent - 1 - r rows above the baseline.
    laid.offsetY = ascent - 1 - box.Bottom();
    AppendBoxBits(glyph, box, laid.bitmap);
    return laid;
}

}  // namespace

Layout LayOut(const Font& font, const LayoutOptions& options, const std::string& format) {
    Layout layout;
    layout.ascent = options.ascent;
    layout.lineHeight = options.lineHeight;
    std::vector<char32_t> codes;
    for (const Glyph& glyph : font.glyphs) {
        if (!Picks(options.ranges, glyph.codePoint)) continue;
        layout.glyphs.push_back(Lay(glyph, options.ascent));
        codes.push_back(glyph.codePoint);
    }
    if (font.glyphs.empty()) throw Failure("the folder holds no glyph to write to " + format);
    if (layout.glyphs.empty())
        throw Failure("no glyph of the folder is among the characters chosen");
    if (layout.glyphs.size() > MostGlyphs)
        throw Failure("the font has " + std::to_string(layout.glyphs.size()) +
                      " glyphs, more than the 65,535 an LVGL font numbers");
    layout.cmaps = PlanCmaps(codes);
    return layout;
}

Layout LayOut(const WriteRequest& request, const std::string& format) {
    return LayOut(request.font,
                  {font::ChosenAscent(request.values), font::ChosenLineHeight(request.values),
                   ChosenRanges(request.values)},
                  format);
}

}  // namespace font::lvgl
