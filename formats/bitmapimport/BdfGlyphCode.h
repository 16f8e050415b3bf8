#pragma once

#include <string_view>

namespace font {

// One glyph of a BDF file as its STARTCHAR and ENCODING lines name it; the
// name lies in the text read.
struct BdfGlyphCode {
    std::string_view name;
    long code = -1;  // -1 for a glyph without a code
};

// The code of the words after ENCODING, read as the C library's strtol reads
// numbers: a negative code is -1, and "-1 n" stands for n.
long BdfGlyphCodeOf(std::string_view words);

}  // namespace font
