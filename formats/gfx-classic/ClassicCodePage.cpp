#include "formats/gfx-classic/ClassicCodePage.h"

#include "font/Failure.h"
#include "formats/charset/Charset.h"

namespace font {
namespace {

// The symbols the IBM PC shows at codes 1 to 31 and 127, which iconv, like
// every converter of text, reads as control characters.
constexpr char32_t Cp437Symbols[32] = {
    0,      0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
constexpr char32_t Cp437House = 0x2302;

bool IsControl(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
}

}  // namespace

ClassicCodePage::ClassicCodePage(const std::string& name) {
    const bool cp437 = name == "cp437";
    const std::optional<Charset> charset = Charset::Open(cp437 ? "CP437" : "ISO-8859-1");
    if (!charset) throw Failure("the C library's iconv cannot convert " + name);
    for (unsigned code = 0; code < 256; ++code) {
        if (cp437 && code > 0 && code < 32)
            characters_[code] = Cp437Symbols[code];
        else if (cp437 && code == 0x7F)
            characters_[code] = Cp437House;
        else if (const auto cp = charset->ToUnicode(code); cp && !IsControl(*cp))
            characters_[code] = *cp;
    }
}

std::optional<unsigned> ClassicCodePage::CodeOf(char32_t cp) const {
    for (unsigned code = 0; code < 256; ++code)
        if (characters_[code] == cp) return code;
    return std::nullopt;
}

}  // namespace font
