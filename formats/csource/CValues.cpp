#include "formats/csource/CValues.h"

#include "font/Failure.h"

namespace font {

std::int64_t NumberIn(const CValue& value, const std::string& fileName, const std::string& what,
                      std::int64_t low, std::int64_t high) {
    const std::string line = "line " + std::to_string(value.line);
    if (value.kind == CValue::Kind::Name)
        throw Failure(fileName + ": " + what + " holds the name " + value.name + " (" + line +
                      "), which this file does not define as a number; --define " + value.name +
                      "=VALUE gives it one");
    if (value.kind != CValue::Kind::Number || value.number < low || value.number > high)
        throw Failure(fileName + ": " + what + " holds a value outside " + std::to_string(low) +
                      " to " + std::to_string(high) + " (" + line + ")");
    return value.number;
}

std::vector<std::int64_t> NumbersIn(const CDeclaration& table, const std::string& fileName,
                                    std::int64_t low, std::int64_t high) {
    if (table.value.kind != CValue::Kind::List)
        throw Failure(fileName + ": " + table.name + " is not a table");
    std::vector<std::int64_t> numbers;
    numbers.reserve(table.value.Size());
    for (std::size_t i = 0; i < table.value.Size(); ++i)
        numbers.push_back(NumberIn(table.value.Item(i), fileName, table.name, low, high));
    return numbers;
}

}  // namespace font
