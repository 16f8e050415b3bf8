#pragma once

#include <optional>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/FontFile.h"
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
// Nothing when FreeType does not open the file; raises Failure for a BDF
// font it cannot read.
// The font is read from `file`'s bytes, which must outlive the call.
std::optional<ImportReport> ReadFreeTypeFont(const FontFile& file,
                                             const std::vector<CharRange>& ranges);

}  // namespace font
