#include "formats/csource/CByteTables.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "font/Failure.h"
#include "formats/csource/CDeclarations.h"

namespace font {
namespace {

// A plain byte, and not a library's own font type such as MD_MAX72XX's.
bool IsByteType(const std::vector<std::string>& words) {
    static const std::set<std::string, std::less<>> bytes = {
        "uint8_t", "std::uint8_t", "unsigned", "char", "byte", "prog_uchar", "prog_uint8_t"};
    return !words.empty() && std::all_of(words.begin(), words.end(),
                                         [](const std::string& w) { return bytes.contains(w); });
}

bool IsIdentifierCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::size_t SkipSpace(std::string_view text, std::size_t at) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
    return at;
}

// `text` with each GLCDFONTDECL(name) spelled out as the libraries define
// it: the macro comes from their own header, which a font's file does not
// include. One pass, so that a large file costs no more than its reading.
std::string SpellOutFontDeclarations(std::string_view text) {
    static constexpr std::string_view Macro = "GLCDFONTDECL";
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t at = text.find(Macro); at != std::string_view::npos;
         at = text.find(Macro, at + 1)) {
        if (at > 0 && IsIdentifierCharacter(text[at - 1])) continue;
        std::size_t next = SkipSpace(text, at + Macro.size());
        if (next >= text.size() || text[next] != '(') continue;
        const std::size_t nameStart = SkipSpace(text, next + 1);
        std::size_t nameEnd = nameStart;
        while (nameEnd < text.size() && IsIdentifierCharacter(text[nameEnd])) ++nameEnd;
        next = SkipSpace(text, nameEnd);
        if (nameEnd == nameStart || std::isdigit(static_cast<unsigned char>(text[nameStart])) ||
            next >= text.size() || text[next] != ')')
            continue;
        out.append(text.substr(copied, at - copied));
        out += "const uint8_t ";
        out.append(text.substr(nameStart, nameEnd - nameStart));
        out += "[]";
        copied = next + 1;
    }
    out.append(text.substr(copied));
    return out;
}

}  // namespace

std::vector<CByteTable> ReadCByteTables(std::string_view text) {
    const std::string spelled = SpellOutFontDeclarations(text);
    CSource source;
    try {
        source = ReadCSource(spelled);
    } catch (const Failure&) {
        return {};
    }
    std::vector<CByteTable> tables;
    for (const CDeclaration& d : source.declarations) {
        if (!d.isArray || d.value.kind != CValue::Kind::List || !IsByteType(d.typeWords)) continue;
        CByteTable table{d.name, {}};
        bool bytes = true;
        for (std::size_t i = 0; i < d.value.Size(); ++i) {
            const CValue item = d.value.Item(i);
            if (item.kind != CValue::Kind::Number || item.number < 0 || item.number > 255) {
                bytes = false;
                break;
            }
            table.bytes.push_back(static_cast<std::uint8_t>(item.number));
        }
        if (bytes && !table.bytes.empty()) tables.push_back(std::move(table));
    }
    return tables;
}

}  // namespace font
