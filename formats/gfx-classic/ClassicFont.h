#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/CharRange.h"
#include "font/CodeRun.h"
#include "font/FontFolder.h"
#include "font/ImportReport.h"
#include "formats/gfx-classic/ClassicCodePage.h"

namespace font {

// Adafruit GFX's built-in font, glcdfont.c: `font`, `bytes` bytes (columns)
// for each of the 256 codes, one byte a column from the left, the top row in
// bit 0. Code k holds the glyph of the character k stands for in the code
// page; a code without one is blank, a narrower glyph is padded on the right.
// Raises Failure naming every glyph wider than `bytes`.
FirmwareHeader WriteClassicTable(const Font& font, int bytes, const ClassicCodePage& codePage,
                                 const std::string& codePageName);

// Such a table (256 codes or fewer from code 0, 5 or 6 bytes each) among the
// byte tables of a C header, each glyph that is not blank (and the space)
// with the table's column count as its width, or nothing. Ink below the 7
// rows (the library's own table puts descenders in bit 7) is clipped with a
// warning.
std::optional<ImportReport> ReadClassicTable(std::string_view text, const std::string& fileName,
                                             const ClassicCodePage& codePage,
                                             const std::vector<CharRange>& ranges);

}  // namespace font
