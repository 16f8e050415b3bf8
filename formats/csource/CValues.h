#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/csource/CDeclarations.h"

namespace font {

// The number `value` holds. Raises Failure ("FILE: WHAT holds a value outside
// LOW to HIGH (line N)", or names the macro it holds that the file does not
// define) when it holds no number in that range.
std::int64_t NumberIn(const CValue& value, const std::string& fileName, const std::string& what,
                      std::int64_t low, std::int64_t high);

// The numbers of an array initialiser, each refused as NumberIn refuses it.
std::vector<std::int64_t> NumbersIn(const CDeclaration& table, const std::string& fileName,
                                    std::int64_t low, std::int64_t high);

}  // namespace font
