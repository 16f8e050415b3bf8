#pragma once

#include <string_view>
#include <vector>

namespace font {

// One glyph of a BDF file as its STARTCHAR and ENCODING lines name it; the
// name lies in the text read.
struct BdfGlyphCode {
    std::string_view name;
    long code = -1;  // -1 for a glyph without a code
};

// The glyphs of a BDF file in file order, with their codes read as FreeType
// reads them: a negative code is -1, and "ENCODING -1 n" stands for n.
std::vector<BdfGlyphCode> ReadBdfGlyphCodes(std::string_view text);

}  // namespace font
