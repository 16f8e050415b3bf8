#include "formats/csource/HeaderTables.h"

#include <algorithm>

#include "font/Failure.h"
#include "formats/csource/CSource.h"
#include "formats/csource/CValues.h"

namespace font {

std::string TableCode(std::int64_t code) {
    // A code is at most 0xFFFF once a table has been read.
    return CHex(static_cast<unsigned>(code), 2);
}

std::string LineText(int line) {
    return "line " + std::to_string(line);
}

bool HasTypeWord(const CDeclaration& declaration, std::string_view word) {
    return std::any_of(declaration.typeWords.begin(), declaration.typeWords.end(),
                       [word](const std::string& w) {
                           return w == word || w.ends_with("::" + std::string(word));
                       });
}

void HeaderTables::Refuse(const std::string& what) const {
    throw Failure(fileName_ + ": " + what);
}

const CDeclaration& HeaderTables::Table(const CValue& reference, const CDeclaration& font,
                                        const char* what) const {
    if (reference.kind != CValue::Kind::Name) Refuse(font.name + " does not name its " + what);
    for (const CDeclaration& d : source_.declarations)
        if (d.name == reference.name) return d;
    std::string reason = font.name + "'s " + what + " " + reference.name + " is not in the file";
    if (!source_.problem.empty()) reason += " (" + source_.problem + ")";
    Refuse(reason);
}

std::int64_t HeaderTables::Number(const CValue& value, const std::string& what, std::int64_t low,
                                  std::int64_t high) const {
    return NumberIn(value, fileName_, what, low, high);
}

std::vector<std::uint8_t> HeaderTables::Bytes(const CDeclaration& table) const {
    if (table.value.kind != CValue::Kind::List) Refuse(table.name + " is not a table");
    std::vector<std::uint8_t> bytes(table.value.Size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(Number(table.value.Item(i), table.name, 0, 255));
    return bytes;
}

}  // namespace font
