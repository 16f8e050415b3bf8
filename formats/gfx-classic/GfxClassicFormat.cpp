#include "formats/gfx-classic/GfxClassicFormat.h"

#include "formats/csource/CHeaderText.h"
#include "formats/gfx-classic/ClassicFont.h"

namespace formats {
namespace {

const font::OptionGroup& CodePageOption() {
    static const font::OptionGroup group{
        {font::OptionSpec::Choice("--codepage",
                                  "what the 256 codes stand for: cp437 (default, as the library "
                                  "draws with cp437(true)) or latin1",
                                  {"cp437", "latin1"})},
        "--codepage is for classic GFX fonts"};
    return group;
}

const font::OptionGroup& BytesOption() {
    static const font::OptionGroup group{
        {font::OptionSpec::Integer(
            "--bytes", "columns a character: 5 (default, Adafruit GFX) or 6 (QMK's OLED font)", 5,
            6)},
        "--bytes is for classic GFX fonts"};
    return group;
}

std::string CodePageName(const font::OptionValues& values) {
    return values.Text("--codepage").value_or("cp437");
}

font::WrittenFont Write(const font::WriteRequest& request) {
    const std::string name = CodePageName(request.values);
    font::FirmwareHeader header =
        font::WriteClassicTable(request.font, request.values.Integer("--bytes").value_or(5),
                                font::ClassicCodePage(name), name);
    return font::WrittenText(std::move(header.text), std::move(header.warnings));
}

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    const std::string_view text = CHeaderText(file);
    return font::ReadClassicTable(
        text, file.name, font::ClassicCodePage(CodePageName(options.values)), options.ranges);
}

}  // namespace

const font::FontFormat& GfxClassicFormat() {
    static const font::FontFormat format{
        "gfx-classic",
        "Adafruit GFX's classic built-in font (glcdfont.c), also QMK's OLED font",
        {".c", ".h"},
        font::FontReader{
            "a classic GFX font table",
            "a table of 5 or 6 bytes a code from code 0, as glcdfont.c holds it; codes map "
            "through --codepage, each glyph that is not blank comes in with the table's column "
            "count as its width, and ink in bit 7 is clipped.",
            {&CodePageOption()},
            Read},
        font::FontWriter{
            "Adafruit GFX's glcdfont.c: `font`, --bytes columns for each of the 256 codes, the "
            "top row in bit 0. Code k holds the glyph of the character k stands for in "
            "--codepage; codes without one are blank, a glyph wider than --bytes is an error "
            "naming every such glyph, and a narrower one is padded with blank columns on the "
            "right: its own width is lost, and import gives it the cell width, --bytes "
            "columns. The library draws a blank column after each code, and draws the codes "
            "so after cp437(true); its default, cp437(false), draws each code from 176 up "
            "with the next code's glyph. --bytes 6 writes QMK's "
            "OLED layout, with the defines it needs in a comment.\n\nExample: glyphtool export "
            "gfx-classic 5x7 -o glcdfont.c",
            {&BytesOption(), &CodePageOption()},
            Write}};
    return format;
}

}  // namespace formats
