#include "formats/otb/OtbFormat.h"

#include "font/FamilyName.h"
#include "formats/otb/EmbeddedBitmaps.h"
#include "formats/sfnt/ChosenGlyphs.h"
#include "formats/sfnt/SfntFile.h"
#include "formats/sfnt/SfntFont.h"

namespace formats {
namespace {

// Desktops set lines of bitmap fonts by their ascent and descent alone.
constexpr int LineGap = 0;

font::WrittenFont Write(const font::WriteRequest& request) {
    const font::Font chosen = font::ChosenGlyphs(request);
    const int ascent = font::ChosenAscent(request.values);
    // Only .notdef has an outline: OpenType's sanitizer refuses an empty glyf.
    const font::SfntFont sfnt = font::SfntFontOf(
        chosen, font::ChosenFamily(request.values, request.defaultName), ascent, LineGap, false);
    std::vector<font::Glyph> glyphs{font::NotdefGlyph(chosen)};
    glyphs.insert(glyphs.end(), chosen.glyphs.begin(), chosen.glyphs.end());
    font::EmbeddedBitmaps bitmaps = font::WriteEmbeddedBitmaps(glyphs, ascent);
    font::SfntTables tables = font::CommonTables(sfnt);
    tables.emplace_back("EBLC", std::move(bitmaps.location));
    tables.emplace_back("EBDT", std::move(bitmaps.data));
    return {font::AssembleFontFile(tables), {}, {}};
}

}  // namespace

const font::FontFormat& OtbFormat() {
    static const font::FontFormat format{
        "otb",
        "a bitmap-only OpenType font (X11 and Pango desktops)",
        {".otb"},
        std::nullopt,
        font::FontWriter{
            "An OpenType bitmap font, the form X11 and Pango-based desktops and terminals read "
            "bitmap fonts in: one strike of 7 pixels per em (EBLC/EBDT), each glyph its whole "
            "cell with its width as advance. Install it in ~/.local/share/fonts.\n\nExample: "
            "glyphtool export otb 5x7 -o Tiny.otb --family Tiny",
            {&font::FamilyOption(), &font::AscentOption(), &font::CharsOption()},
            Write}};
    return format;
}

}  // namespace formats
