#include "font/Unicode.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "font/NumberText.h"

namespace font {
namespace {

// The scalar value starting at text[i] and its length in bytes, or a length
// of 0 when the bytes there are not valid UTF-8.
struct Decoded {
    char32_t cp = 0;
    std::size_t length = 0;
};

Decoded DecodeOne(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (i + length > text.size()) return {};
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return {};
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < least || !IsScalarValue(cp)) return {};
    return {cp, length};
}

std::string Hex(unsigned value, int digits) {
    return HexText(value, digits);
}

}  // namespace

bool IsScalarValue(char32_t cp) {
    return cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = DecodeOne(text, i);
        if (d.length == 0) return std::nullopt;
        out.push_back(d.cp);
        i += d.length;
    }
    return out;
}

std::string EncodeUtf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string CodePointLabel(char32_t cp) {
    return "U+" + Hex(static_cast<unsigned>(cp), 4);
}

bool IsShowable(char32_t cp) {
    struct Range {
        char32_t first, last;
    };
    // Controls, separators and characters that draw nothing yet change how the
    // text around them reads.
    static constexpr Range hidden[] = {
        {0x0000, 0x001F}, {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x034F, 0x034F},
        {0x061C, 0x061C}, {0x115F, 0x1160},   {0x17B4, 0x17B5},   {0x180B, 0x180F},
        {0x200B, 0x200F}, {0x2028, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},
        {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},
        {0xD800, 0xDFFF}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    if (!IsScalarValue(cp)) return false;
    for (const Range& r : hidden)
        if (cp >= r.first && cp <= r.last) return false;
    return true;
}

std::string DescribeCharacter(char32_t cp) {
    if (!IsShowable(cp)) return CodePointLabel(cp);
    std::string text = "'";
    return text + EncodeUtf8(cp) + "' (" + CodePointLabel(cp) + ")";
}

std::string Printable(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = DecodeOne(text, i);
        if (d.length == 0 || !IsShowable(d.cp)) {
            for (std::size_t k = 0; k < std::max<std::size_t>(d.length, 1); ++k)
                out += "\\x" + Hex(static_cast<std::uint8_t>(text[i + k]), 2);
            i += std::max<std::size_t>(d.length, 1);
            continue;
        }
        out.append(text.substr(i, d.length));
        i += d.length;
    }
    return out;
}

}  // namespace font
