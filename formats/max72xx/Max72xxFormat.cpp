#include "formats/max72xx/Max72xxFormat.h"

#include "formats/csource/CNameOption.h"
#include "formats/max72xx/Max72xxFont.h"
#include "formats/max72xx/Max72xxHeaderFont.h"

namespace formats {
namespace {

const font::OptionGroup& HeightOption() {
    static const font::OptionGroup group{
        {font::OptionSpec::Integer(
            "--height", "the height the table declares, 1 to 255 (default 8, a module's)", 1, 255)},
        "--height is the height an MD_MAX72XX table declares"};
    return group;
}

font::WrittenFont Write(const font::WriteRequest& request) {
    font::FirmwareHeader header = font::WriteMax72xxHeader(
        request.font, {CNameFor(request), request.values.Integer("--height").value_or(8),
                       font::ChosenRanges(request.values)});
    return font::WrittenText(std::move(header.text), std::move(header.warnings));
}

}  // namespace

const font::FontFormat& Max72xxFormat() {
    static const font::FontFormat format{
        "max72xx",
        "an MD_MAX72XX font table (MAX7219 LED matrices)",
        {".h"},
        CHeaderFontReader(Max72xxHeaderFont(), "a C header holding an MD_MAX72XX table",
                          "a C header holding an MD_MAX72XX table."),
        font::FontWriter{
            "A font table for setFont() of MD_MAX72XX and MD_Parola: 'F', its version, the "
            "first and last code and the height, then each code's width and one byte a column, "
            "the top row in bit 0.\n\nExample: glyphtool export max72xx 5x7 -o font5x7.h "
            "--chars 0x20-0x7E",
            {&CNameOption(), &font::CharsOption(), &HeightOption()},
            Write}};
    return format;
}

}  // namespace formats
