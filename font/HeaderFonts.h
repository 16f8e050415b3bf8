#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/CharRange.h"
#include "font/ImportReport.h"

namespace font {

struct HeaderImportOptions {
    std::vector<CharRange> ranges;  // the characters to read; all when empty
    std::optional<int> ascent;      // for a GFX font: rows above its baseline
    std::string fontName;           // which font of a header holding several
};

// Reads a GFX font or an MD_MAX72XX table from the text of a C header, as
// 7-row glyphs: a GFX glyph's box is placed by its offsets under the ascent
// (the one given, else the "ascent N" of the header's opening comment, else
// its highest top), with its advance as its width; an MD_MAX72XX column gives
// rows 0 to 6 from bits 0 to 6. Entries of all zeros are codes without a
// glyph. Nothing when the text holds no such font; raises Failure, naming
// `fileName`, for a font that cannot be read.
std::optional<ImportReport> ImportHeaderFont(std::string_view text, const std::string& fileName,
                                             const HeaderImportOptions& options);

}  // namespace font
