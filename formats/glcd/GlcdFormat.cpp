#include "formats/glcd/GlcdFormat.h"

#include "formats/csource/CHeaderText.h"
#include "formats/csource/CNameOption.h"
#include "formats/glcd/GlcdFont.h"

namespace formats {
namespace {

font::WrittenFont Write(const font::WriteRequest& request) {
    font::FirmwareHeader header = font::WriteGlcdHeader(
        request.font, {CNameFor(request), font::ChosenRanges(request.values)});
    return font::WrittenText(std::move(header.text), std::move(header.warnings));
}

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    const std::string_view text = CHeaderText(file);
    return font::ReadGlcdFont(text, file.name, options.ranges);
}

}  // namespace

const font::FontFormat& GlcdFormat() {
    static const font::FontFormat format{
        "glcd",
        "an openGLCD or SSD1306Ascii font header",
        {".h"},
        font::FontReader{"a C header holding an openGLCD or SSD1306Ascii font",
                         "a C header holding an openGLCD or SSD1306Ascii font (GLCDFONTDECL or "
                         "PROGMEM, fixed or variable width, up to 8 rows whose ink fits 7).",
                         {},
                         Read},
        font::FontWriter{
            "A font for SelectFont() of openGLCD and setFont() of SSD1306Ascii: a size word, "
            "the width, the height, the first code and the count, then for a variable-width "
            "font a width a code, then one byte a column. It is fixed-width when every code of "
            "the run has a glyph of the same width; holes get width 0. The libraries add a "
            "blank column after each glyph. Codes up to 0xFF.\n\nExample: glyphtool export glcd "
            "5x7 -o Font5x7.h --chars 0x20-0x7E",
            {&CNameOption(), &font::CharsOption()},
            Write}};
    return format;
}

}  // namespace formats
