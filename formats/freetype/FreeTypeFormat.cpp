#include "formats/freetype/FreeTypeFormat.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include "font/FontImport.h"

namespace formats {
namespace {

bool FreeTypeOpens(const font::FontFile& file) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    FT_Face face = nullptr;
    const bool opens = FT_New_Face(library, file.path.c_str(), 0, &face) == 0;
    if (opens) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return opens;
}

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    if (!FreeTypeOpens(file)) return std::nullopt;
    return font::ImportFont(file.path, {options.ranges, std::nullopt, {}});
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
            "gives its tallest strike of at most 7 pixels; a scalable font is rendered at the "
            "largest size whose ascender and descender (or bounding box) fit in 7 rows. Fonts "
            "in other charsets than Unicode are converted with iconv.",
            {},
            Read},
        std::nullopt};
    return format;
}

}  // namespace formats
