#pragma once

#include "formats/csource/CHeaderFontReading.h"

namespace formats {

// A GFX font of a C header: a GFXfont declaration naming its bitmap and its
// glyph table, read as 7-row glyphs. A glyph's box is placed by its offsets
// under the ascent (the one given, else the "ascent N" of the header's
// opening comment, else its highest top, unless that cuts ink that another
// ascent keeps whole, as InkRows.h places it), with its advance as its
// width. Entries of all zeros are codes without a glyph.
const HeaderFontKind& GfxHeaderFont();

}  // namespace formats
