#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "font/FontFolder.h"

namespace font {

struct CharRange {
    char32_t first;
    char32_t last;
};

struct ImportReport {
    Font font;
    std::vector<std::string> warnings;  // one a skipped or clipped character
    int skipped = 0;     // too wide, not a character, a second glyph, or lost to FreeType
    int clipped = 0;     // lost pixels outside the cells or the width
    std::string source;  // which strike or size was used
};

// Reads the characters of any font FreeType opens as 7-row glyphs. A bitmap
// font gives its tallest strike of at most 7 pixels; a scalable font is
// rendered in one bit at the largest pixel size whose ascender and descender
// (or, when those are 0, its bounding box) fit in 7 rows, in whichever face
// of a collection fits the largest. A font without a Unicode character map is
// read through its charset. Row 0 is the row just under the ascent line, and each glyph
// keeps its bearings and takes its advance as its width. Only characters in
// `ranges` are read, or every mapped one when it is empty. Raises Failure for
// a font that cannot be opened or has no height that fits.
ImportReport ImportFont(const std::filesystem::path& path, const std::vector<CharRange>& ranges);

}  // namespace font
