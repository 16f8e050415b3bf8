#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "font/FontFolder.h"

namespace font {

// The longest family name whose font name stays within BDF's 255 characters.
inline constexpr std::size_t MaxBdfFamilyLength = 199;

// Whether `family` can stand in a BDF font's name and properties: 1 to 199
// characters of printable ASCII without those an X font name gives meaning
// to (- * ? , ").
bool IsBdfFamily(std::string_view family);

// `text` made into such a family name: every other character becomes '_',
// and what is past the longest allowed length is cut off.
std::string BdfFamilyFrom(std::string_view text);

// A BDF 2.1 font of `font`: every glyph with its code point as encoding, its
// width as advance and its 7 rows with the baseline under row ascent - 1.
// Raises Failure for a font without glyphs.
std::string WriteBdf(const Font& font, std::string_view family, int ascent);

}  // namespace font
