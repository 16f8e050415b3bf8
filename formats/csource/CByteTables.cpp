#include "formats/csource/CByteTables.h"

#include <regex>

#include "font/CDeclarations.h"
#include "font/Failure.h"

namespace font {

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
        if (!d.isArray || d.value.kind != CValue::Kind::List) continue;
        CByteTable table{d.name, {}};
        bool bytes = true;
        for (const CValue& item : d.value.items) {
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
