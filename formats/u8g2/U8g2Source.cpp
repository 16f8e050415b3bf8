#include "formats/u8g2/U8g2Source.h"

#include <algorithm>

#include "formats/csource/CDeclarations.h"

namespace font {
namespace {

constexpr std::size_t BytesPerLine = 32;

// Digits are escaped too: one after an octal escape would join it.
bool Plain(std::uint8_t byte) {
    return byte >= 32 && byte < 127 && byte != '"' && byte != '\\' && byte != '?' &&
           (byte < '0' || byte > '9');
}

}  // namespace

std::string U8g2Source(const std::vector<std::uint8_t>& font, const std::string& name,
                       const std::string& comment) {
    std::string out = "/*\n" + comment + "*/\n";
    out += "const uint8_t " + name + "[" + std::to_string(font.size()) + "] U8G2_FONT_SECTION(\"" +
           name + "\") =\n  \"";
    const std::size_t written = font.empty() || font.back() != 0 ? font.size() : font.size() - 1;
    for (std::size_t i = 0; i < written; ++i) {
        if (Plain(font[i])) {
            out += static_cast<char>(font[i]);
        } else {
            out += '\\';
            if (font[i] >= 0100) out += static_cast<char>('0' + (font[i] >> 6));
            if (font[i] >= 010) out += static_cast<char>('0' + (font[i] >> 3 & 7));
            out += static_cast<char>('0' + (font[i] & 7));
        }
        if ((i + 1) % BytesPerLine == 0 && i + 1 < written) out += "\"\n  \"";
    }
    out += "\";\n";
    return out;
}

bool MentionsU8g2(std::string_view text) {
    return text.find("U8G2_FONT_SECTION") != std::string_view::npos ||
           text.find("u8g2_font_") != std::string_view::npos;
}

std::vector<U8g2Array> FindU8g2Arrays(std::string_view text,
                                      const std::vector<std::string>& defines) {
    const CSource source = ReadCSource(text, defines, CKeep::Strings);
    const bool sectioned = text.find("U8G2_FONT_SECTION") != std::string_view::npos;
    std::vector<U8g2Array> arrays;
    for (const CDeclaration& d : source.declarations) {
        const bool bytes = std::any_of(d.typeWords.begin(), d.typeWords.end(),
                                       [](const auto& w) { return w == "uint8_t" || w == "char"; });
        if (!d.isArray || d.value.kind != CValue::Kind::String || !bytes) continue;
        if (!sectioned && !d.name.starts_with("u8g2_font_")) continue;
        // The string's own end is the font's last byte.
        std::vector<std::uint8_t> font(d.value.bytes.begin(), d.value.bytes.end());
        font.push_back(0);
        arrays.push_back({d.name, std::move(font)});
    }
    return arrays;
}

}  // namespace font
