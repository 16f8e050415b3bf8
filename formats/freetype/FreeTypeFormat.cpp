#include "formats/freetype/FreeTypeFormat.h"

#include "formats/freetype/FontImport.h"

namespace formats {
namespace {

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    return font::ReadFreeTypeFont(file, options.ranges);
}

}  // namespace

const font::FontFormat& FreeTypeFormat() {
    static const font::FontFormat format{
        "freetype",
        "any font FreeType opens: BDF, PCF, PCF.gz, Windows FON, OpenType bitmap and scalable",
        {".bdf", ".pcf", ".pcf.gz", ".fon", ".otb", ".ttf", ".otf"},
        font::FontReader{
            "a font FreeType can read",
            "BDF, PCF, PCF.gz, Windows FON, OpenType bitmap and scalable fonts. A bitmap font "
            "gives its tallest strike whose glyphs' ink fits 7 rows, or else of at most 7 "
            "pixels; a scalable font is rendered at the largest size whose ascender and "
            "descender (or bounding box) fit in 7 rows. Fonts in other charsets than Unicode "
            "are converted with iconv.",
            {},
            Read},
        std::nullopt};
    return format;
}

}  // namespace formats
