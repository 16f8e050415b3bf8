#include "formats/csource/CByteTables.h"

#include <algorithm>
#include <regex>
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

}  // namespace

std::optional<std::string_view> CHeaderText(const FontFile& file) {
    constexpr std::size_t MaxHeaderSize = 64 << 20;
    const std::string_view text = file.Text();
    if (!file.whole || text.size() > MaxHeaderSize || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    return text;
}

std::vector<CByteTable> ReadCByteTables(std::string_view text) {
    // The macro comes from the library's own header, which the font's file
    // does not include, so it is spelled out here as the library defines it.
    static const std::regex declaration(R"(\bGLCDFONTDECL\s*\(\s*([A-Za-z_]\w*)\s*\))");
    const std::string spelled =
        std::regex_replace(std::string(text), declaration, "const uint8_t $1[]");
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
