#include "formats/bdf/BdfFormat.h"

#include "font/FamilyName.h"
#include "formats/bdf/Bdf.h"

namespace formats {
namespace {

font::WrittenFont Write(const font::WriteRequest& request) {
    const std::string family =
        request.values.Text("--family").value_or(font::FamilyNameFrom(request.defaultName));
    const int ascent = request.values.Integer("--ascent").value_or(6);
    return font::WrittenText(font::WriteBdf(request.font, family, ascent));
}

}  // namespace

const font::FontFormat& BdfFormat() {
    static const font::FontFormat format{
        "bdf",
        "a BDF font",
        {".bdf"},
        std::nullopt,
        font::FontWriter{"A BDF 2.1 font: each glyph under its code point, its width as its "
                         "advance, the baseline under row ascent - 1.\n\nExample: glyphtool "
                         "export bdf 5x7 -o 5x7.bdf --family Tiny",
                         {&font::FamilyOption(), &font::AscentOption()},
                         Write}};
    return format;
}

}  // namespace formats
