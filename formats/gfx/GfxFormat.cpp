#include "formats/gfx/GfxFormat.h"

#include "formats/csource/CNameOption.h"
#include "formats/gfx/GfxFont.h"
#include "formats/gfx/GfxHeaderFont.h"

namespace formats {
namespace {

font::WrittenFont Write(const font::WriteRequest& request) {
    font::FirmwareHeader header = font::WriteGfxHeader(
        request.font, {CNameFor(request), font::ChosenAscent(request.values),
                       font::ChosenLineHeight(request.values), font::ChosenRanges(request.values)});
    return font::WrittenText(std::move(header.text), std::move(header.warnings));
}

}  // namespace

const font::FontFormat& GfxFormat() {
    static const font::FontFormat format{
        "gfx",
        "an Adafruit GFX font header",
        {".h"},
        CHeaderFontReader(GfxHeaderFont(), "a C header holding an Adafruit GFX font",
                          "a C header holding an Adafruit GFX font."),
        font::FontWriter{
            "A header in the form of the fonts that ship with the Adafruit GFX library: "
            "NAMEBitmaps, NAMEGlyphs and the GFXfont NAME for setFont(), over the run of codes "
            "from the first character to the last. Each glyph is the box of its set pixels, its "
            "width the advance.\n\nExample: glyphtool export gfx 5x7 -o Font5x7.h --chars "
            "0x20-0x7E",
            {&CNameOption(), &font::CharsOption(), &font::AscentOption(),
             &font::LineHeightOption()},
            Write}};
    return format;
}

}  // namespace formats
