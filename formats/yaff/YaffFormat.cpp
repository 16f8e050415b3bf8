#include "formats/yaff/YaffFormat.h"

#include "font/FamilyName.h"
#include "formats/yaff/Yaff.h"

namespace formats {
namespace {

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    return font::ReadYaff(file.Text(), file.name, options.ranges,
                          options.values.Integer("--ascent"));
}

font::WrittenFont Write(const font::WriteRequest& request) {
    font::YaffHeader header;
    header.name = font::ChosenFamily(request.values, request.defaultName);
    header.ascent = font::ChosenAscent(request.values);
    header.lineHeight = font::ChosenLineHeight(request.values);
    return font::WrittenText(font::WriteYaff(request.font, header));
}

}  // namespace

const font::FontFormat& YaffFormat() {
    static const font::FontFormat format{
        "yaff",
        "a yaff font, monobit's text format",
        {".yaff"},
        font::FontReader{"a yaff font",
                         "a yaff font as monobit writes it: glyphs labelled by character, by "
                         "code point in a unicode or latin-1 encoding, or by tag (skipped), "
                         "placed by their shift-up and bearings, in two levels (ink or none); "
                         "--ascent rows above the baseline come in, else the font's own ascent.",
                         {&font::AscentOption()},
                         Read},
        font::FontWriter{"A yaff 1.0 font with encoding: unicode, each glyph under its u+ label "
                         "as 7 rows of its width, the baseline under row ascent - 1; monobit "
                         "converts it on to the formats it knows.\n\nExample: glyphtool export "
                         "yaff 5x7 -o 5x7.yaff --family Tiny",
                         {&font::FamilyOption(), &font::AscentOption(), &font::LineHeightOption()},
                         Write}};
    return format;
}

}  // namespace formats
