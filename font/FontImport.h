#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/ImportReport.h"

namespace font {

// Reads the characters of any font FreeType opens as 7-row glyphs. A bitmap
// font gives its tallest strike whose glyphs' ink spans at most 7 rows, else
// its tallest strike of at most 7 pixels; a scalable font is rendered in one
// bit at the largest pixel size whose ascender and descender (or, when those
// are 0, its bounding box) fit in 7 rows, in whichever face of a collection
// fits the largest. A font without a Unicode character map is read through
// its charset. Row 0 is the row just under the ascent line unless the ink
// lies outside the 7 rows that starts: then it is the row of the highest ink,
// by the rule of InkRows.h. Each glyph keeps its bearings and takes its
// advance as its width. Only characters in
// `ranges` are read, or every mapped one when it is empty. Raises Failure for
// a font that cannot be opened or has no height that fits.
//
// A file FreeType does not read may be a C header holding an Adafruit GFX font
// or an MD_MAX72XX table, which is read as HeaderFonts.h says.
struct ImportOptions {
    std::vector<CharRange> ranges;
    std::optional<int> ascent;         // a GFX header's ascent
    std::string fontName;              // the font to take from a header holding several
    std::vector<std::string> defines;  // a header's macros, NAME or NAME=VALUE as -D gives them
};
ImportReport ImportFont(const std::filesystem::path& path, const ImportOptions& options);

}  // namespace font
