#pragma once

#include <string>
#include <string_view>

#include "font/FontFolder.h"

namespace font {

// A BDF 2.1 font of `font`: every glyph with its code point as encoding, its
// width as advance and its 7 rows with the baseline under row ascent - 1.
// Raises Failure for a font without glyphs.
std::string WriteBdf(const Font& font, std::string_view family, int ascent);

}  // namespace font
