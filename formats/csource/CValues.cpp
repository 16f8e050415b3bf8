#include "formats/csource/CValues.h"

#include "font/Failure.h"

namespace font {

std::int64_t CNumber(const CValue& value, const std::string& fileName, const std::string& what,
                     std::int64_t low, std::int64_t high) {
    if (value.kind != CValue::Kind::Number || value.number < low || value.number > high)
        throw Failure(fileName + ": " + what + " holds a value outside " + std::to_string(low) +
                      " to " + std::to_string(high) + " (line " + std::to_string(value.line) + ")");
    return value.number;
}

std::vector<std::int64_t> CNumbers(const CDeclaration& table, const std::string& fileName,
                                   std::int64_t low, std::int64_t high) {
    if (table.value.kind != CValue::Kind::List)
        throw Failure(fileName + ": " + table.name + " is not a table");
    std::vector<std::int64_t> numbers;
    numbers.reserve(table.value.items.size());
    for (const CValue& item : table.value.items)
        numbers.push_back(CNumber(item, fileName, table.name, low, high));
    return numbers;
}

}  // namespace font
