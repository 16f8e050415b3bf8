#pragma once

#include "formats/csource/CHeaderFontReading.h"

namespace formats {

// An MD_MAX72XX font table of a C header, read as 7-row glyphs: a column
// gives rows 0 to 6 from bits 0 to 6, or from the 7 bits its ink lies in.
// A table without the 'F' header holds codes 0 to 255, recognised by its
// bytes alone. Codes of width 0 have no glyph.
const HeaderFontKind& Max72xxHeaderFont();

}  // namespace formats
