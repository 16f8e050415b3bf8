#include "formats/csource/CSource.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "font/NumberText.h"
#include "font/Unicode.h"

namespace font {
namespace {

bool IsIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

}  // namespace

std::string CCharacterLiteral(char32_t cp) {
    switch (cp) {
        case '\'':
            return "'\\''";
        case '\\':
            return "'\\\\'";
        case '\n':
            return "'\\n'";
        case '\t':
            return "'\\t'";
        case '\r':
            return "'\\r'";
        default:
            break;
    }
    if (IsShowable(cp)) {
        std::string literal(1, '\'');
        literal += EncodeUtf8(cp);
        literal += '\'';
        return literal;
    }
    return cp <= 0xFFFF ? "'\\u" + HexText(cp, 4) + "'" : "'\\U" + HexText(cp, 8) + "'";
}

bool IsCIdentifier(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) return false;
    if (name.size() > 1 && name[0] == '_' &&
        (name[1] == '_' || std::isalpha(static_cast<unsigned char>(name[1]))))
        return false;
    return std::all_of(name.begin(), name.end(), IsIdentifierChar);
}

bool IsCKeyword(std::string_view name) {
    static constexpr std::array<std::string_view, 84> keywords = {"alignas",
                                                                  "alignof",
                                                                  "and",
                                                                  "and_eq",
                                                                  "asm",
                                                                  "auto",
                                                                  "bitand",
                                                                  "bitor",
                                                                  "bool",
                                                                  "break",
                                                                  "case",
                                                                  "catch",
                                                                  "char",
                                                                  "char8_t",
                                                                  "char16_t",
                                                                  "char32_t",
                                                                  "class",
                                                                  "compl",
                                                                  "concept",
                                                                  "const",
                                                                  "consteval",
                                                                  "constexpr",
                                                                  "constinit",
                                                                  "const_cast",
                                                                  "continue",
                                                                  "co_await",
                                                                  "co_return",
                                                                  "co_yield",
                                                                  "decltype",
                                                                  "default",
                                                                  "delete",
                                                                  "do",
                                                                  "double",
                                                                  "dynamic_cast",
                                                                  "else",
                                                                  "enum",
                                                                  "explicit",
                                                                  "export",
                                                                  "extern",
                                                                  "false",
                                                                  "float",
                                                                  "for",
                                                                  "friend",
                                                                  "goto",
                                                                  "if",
                                                                  "inline",
                                                                  "int",
                                                                  "long",
                                                                  "mutable",
                                                                  "namespace",
                                                                  "new",
                                                                  "noexcept",
                                                                  "not",
                                                                  "not_eq",
                                                                  "nullptr",
                                                                  "operator",
                                                                  "or",
                                                                  "or_eq",
                                                                  "private",
                                                                  "protected",
                                                                  "public",
                                                                  "register",
                                                                  "reinterpret_cast",
                                                                  "requires",
                                                                  "restrict",
                                                                  "return",
                                                                  "short",
                                                                  "signed",
                                                                  "sizeof",
                                                                  "static",
                                                                  "static_assert",
                                                                  "static_cast",
                                                                  "struct",
                                                                  "switch",
                                                                  "template",
                                                                  "this",
                                                                  "thread_local",
                                                                  "throw",
                                                                  "true",
                                                                  "try",
                                                                  "typedef",
                                                                  "typeid",
                                                                  "typename",
                                                                  "union"};
    static constexpr std::array<std::string_view, 8> more = {
        "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while", "xor"};
    return std::find(keywords.begin(), keywords.end(), name) != keywords.end() ||
           std::find(more.begin(), more.end(), name) != more.end() || name == "xor_eq";
}

std::string CIdentifierFrom(std::string_view text) {
    std::string name(text);
    for (char& c : name)
        if (!IsIdentifierChar(c)) c = '_';
    if (!IsCIdentifier(name) || IsCKeyword(name)) name.insert(0, "font_");
    return name;
}

std::string CHex(unsigned value, int digits) {
    return "0x" + HexText(value, digits);
}

void AppendHexBytes(std::string& out, std::span<const std::uint8_t> bytes, std::size_t perLine) {
    std::string line;
    line.reserve(4 + perLine * 6);
    for (std::size_t start = 0; start < bytes.size(); start += perLine) {
        line.assign("    ");
        const std::size_t end = std::min(bytes.size(), start + perLine);
        for (std::size_t i = start; i < end; ++i) {
            const char entry[] = {'0', 'x', HexDigits[bytes[i] >> 4], HexDigits[bytes[i] & 0xF],
                                  ',', ' '};
            line.append(entry, i + 1 == end ? 5 : 6);
        }
        line += '\n';
        out += line;
    }
}

std::string CommentName(char32_t cp) {
    return CodePointLabel(cp) + " " + CCharacterLiteral(cp);
}

std::string EntryComment(char32_t cp, bool hole) {
    std::string comment = CHex(static_cast<unsigned>(cp), 2) + " " + CCharacterLiteral(cp);
    if (hole) comment += " (no glyph)";
    return comment;
}

std::vector<std::uint8_t> ColumnBytes(const Glyph& glyph) {
    std::vector<std::uint8_t> columns(static_cast<std::size_t>(glyph.width), 0);
    for (int col = 0; col < glyph.width; ++col)
        for (int row = 0; row < glyph::CellGrid::RowCount; ++row)
            if (glyph.Pixel(col, row)) columns[col] |= static_cast<std::uint8_t>(1u << row);
    return columns;
}

}  // namespace font
