#pragma once

#include <string>
#include <string_view>

#include "font/FontFolder.h"
#include "font/TextOut.h"

namespace font {

// A BDF 2.1 font of `font`: every glyph with its code point as encoding, its
// width as advance and its 7 rows with the baseline under row ascent - 1,
// made into `out`. Raises Failure for a font without glyphs.
void WriteBdf(const Font& font, std::string_view family, int ascent, TextOut& out);

}  // namespace font
