#pragma once

#include <string_view>
#include <vector>

#include "formats/bitmapimport/BdfGlyphCode.h"

namespace font {

// The glyphs of a BDF file in file order, with their codes read as FreeType
// reads them: a negative code is -1, and "ENCODING -1 n" stands for n.
std::vector<BdfGlyphCode> ReadBdfGlyphCodes(std::string_view text);

}  // namespace font
