#pragma once

#include <optional>
#include <vector>

#include "font/CharRange.h"
#include "font/FontFile.h"
#include "font/ImportReport.h"

namespace font {

// Reads a one-bit BDF font in one pass, giving what the FreeType reader gives
// for it: the strike FreeType makes of it (FONT_ASCENT and FONT_DESCENT, else
// the font's bounding box), its rows placed by the ink of its glyphs, each
// glyph's DWIDTH as its width and its BBX offsets as its bearings, its
// charset as FreeType maps it, and the same warnings. Only characters in
// `ranges` are read, or every one when it is empty. Nothing for a file that
// is not BDF; raises NotThisFormat for a BDF font it leaves to FreeType
// (BdfParse.h says which), and Failure naming the file for one that cannot
// be read.
std::optional<ImportReport> ReadBdfFont(const FontFile& file, const std::vector<CharRange>& ranges);

// Whether FreeType gives a BDF font of this CHARSET_REGISTRY and
// CHARSET_ENCODING a Unicode character map: ISO10646, ISO8859-1 and
// ISO646.1991-IRV, the "ISO" in any case.
bool HasUnicodeMap(std::string_view registry, std::string_view encoding);

}  // namespace font
