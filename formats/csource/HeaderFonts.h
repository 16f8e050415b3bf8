#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/CharRange.h"
#include "font/ImportReport.h"

namespace font {

struct HeaderImportOptions {
    std::vector<CharRange> ranges;     // the characters to read; all when empty
    std::optional<int> ascent;         // for a GFX font: rows above its baseline
    std::string fontName;              // which font of a header holding several
    std::vector<std::string> defines;  // macros as a compiler's -D: NAME or NAME=VALUE
};

// Reads a GFX font or an MD_MAX72XX table from the text of a C header, read
// as a compiler would (CDeclarations.h), as 7-row glyphs: a GFX glyph's box
// is placed by its offsets under the ascent (the one given, else the "ascent
// N" of the header's opening comment, else its highest top, unless that cuts
// ink that another ascent keeps whole, as InkRows.h places it), with its
// advance as its width; an MD_MAX72XX column gives rows 0 to 6 from bits 0 to
// 6, or from the 7 bits its ink lies in. A table without the 'F' header holds
// codes 0 to 255, recognised by its bytes alone. Entries of all zeros are
// codes without a glyph. Nothing when the text holds no such font; raises Failure, naming
// `fileName`, for a font that cannot be read.
std::optional<ImportReport> ImportHeaderFont(std::string_view text, const std::string& fileName,
                                             const HeaderImportOptions& options);

}  // namespace font
