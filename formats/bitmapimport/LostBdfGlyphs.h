#pragma once

#include <span>

#include "formats/bitmapimport/BdfGlyphCode.h"
#include "formats/bitmapimport/CharacterImport.h"

namespace font {

// Skips, each with its reason, the glyphs of a BDF file (`glyphs`, in file
// order) that no code of the character map reached (`reached`, sorted): a
// glyph without a code, a second glyph for a code, a code past Unicode, and
// the glyphs beyond the 65,535 that FreeType keeps of a face. Only the
// characters asked for are named, and a glyph without a code only when every
// character was.
void SkipLostBdfGlyphs(std::span<const BdfGlyphCode> glyphs, std::span<const unsigned long> reached,
                       CharacterImport& import);

}  // namespace font
