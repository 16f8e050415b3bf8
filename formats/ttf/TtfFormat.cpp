#include "formats/ttf/TtfFormat.h"

#include <algorithm>

#include "font/FamilyName.h"
#include "formats/sfnt/ChosenGlyphs.h"
#include "formats/sfnt/SfntFile.h"
#include "formats/sfnt/SfntFont.h"

namespace formats {
namespace {

font::WrittenFont Write(const font::WriteRequest& request) {
    font::WrittenFont written;
    const int lineHeight = font::ChosenLineHeight(request.values);
    if (lineHeight < font::EmPixels)
        written.warnings.push_back("a line height of " + std::to_string(lineHeight) +
                                   " is less than the 7 rows of a glyph; lines are 7 apart");
    const font::SfntFont sfnt = font::SfntFontOf(
        font::ChosenGlyphs(request), font::ChosenFamily(request.values, request.defaultName),
        font::ChosenAscent(request.values), std::max(lineHeight - font::EmPixels, 0), true);
    written.bytes = font::AssembleFontFile(font::CommonTables(sfnt));
    return written;
}

}  // namespace

const font::FontFormat& TtfFormat() {
    static const font::FontFormat format{
        "ttf",
        "a TrueType font whose outlines are the pixels",
        {".ttf"},
        std::nullopt,
        font::FontWriter{
            "A TrueType font for desktops, web pages and GUI libraries: each glyph is the "
            "outline of its set pixels, the em 7 pixels, so that at 7 pixels per em and every "
            "multiple of it each pixel fills whole device pixels. The ascender is --ascent "
            "rows, the line gap --line-height minus 7. Install it in ~/.local/share/fonts.\n\n"
            "Example: glyphtool export ttf 5x7 -o Tiny.ttf --family Tiny",
            {&font::FamilyOption(), &font::AscentOption(), &font::LineHeightOption(),
             &font::CharsOption()},
            Write}};
    return format;
}

}  // namespace formats
