#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "font/CDeclarations.h"

namespace font {

// The number `value` holds. Raises Failure ("FILE: WHAT holds a value outside
// LOW to HIGH (line N)") when it holds no number in that range.
std::int64_t CNumber(const CValue& value, const std::string& fileName, const std::string& what,
                     std::int64_t low, std::int64_t high);

// The numbers of an array initialiser, each refused as CNumber refuses it.
std::vector<std::int64_t> CNumbers(const CDeclaration& table, const std::string& fileName,
                                   std::int64_t low, std::int64_t high);

}  // namespace font
