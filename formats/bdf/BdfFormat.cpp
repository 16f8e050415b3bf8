#include "formats/bdf/BdfFormat.h"

#include "font/FamilyName.h"
#include "formats/bdf/Bdf.h"
#include "formats/bdf/BdfReader.h"

namespace formats {
namespace {

std::vector<std::string> Stream(const font::WriteRequest& request, font::TextOut& out) {
    const std::string family = font::ChosenFamily(request.values, request.defaultName);
    font::WriteBdf(request.font, family, font::ChosenAscent(request.values), out);
    return {};
}

font::WrittenFont Write(const font::WriteRequest& request) {
    return font::StreamedWhole(Stream, request);
}

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    return font::ReadBdfFont(file, options.ranges);
}

}  // namespace

const font::FontFormat& BdfFormat() {
    static const font::FontFormat format{
        "bdf",
        "a BDF font",
        {".bdf"},
        font::FontReader{
            "a one-bit BDF font",
            "BDF 2.1 fonts of one bit a pixel, read without FreeType and to the same glyphs, "
            "rows and warnings as freetype reads them: the strike of FONT_ASCENT and "
            "FONT_DESCENT, its 7 rows placed by its glyphs' ink, each glyph's DWIDTH as its "
            "width, charsets other than ISO 10646 and ISO 8859-1 converted with iconv. A grey "
            "font, or one in a form it is not sure FreeType reads the same, is left to "
            "freetype.",
            {},
            Read},
        font::FontWriter{"A BDF 2.1 font: each glyph under its code point, its width as its "
                         "advance, the baseline under row ascent - 1.\n\nExample: glyphtool "
                         "export bdf 5x7 -o 5x7.bdf --family Tiny",
                         {&font::FamilyOption(), &font::AscentOption()},
                         Write,
                         nullptr,
                         Stream}};
    return format;
}

}  // namespace formats
