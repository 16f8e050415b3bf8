#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace font {

// The longest family name whose X font name stays within BDF's 255 characters.
inline constexpr std::size_t MaxFamilyLength = 199;

// Whether `family` can stand in a font's name and properties: 1 to 199
// characters of printable ASCII without those an X font name gives meaning
// to (- * ? , ").
bool IsFamilyName(std::string_view family);

// `text` made into such a family name: every other character becomes '_',
// and what is past the longest allowed length is cut off.
std::string FamilyNameFrom(std::string_view text);

}  // namespace font
