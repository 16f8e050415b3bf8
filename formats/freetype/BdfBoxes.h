#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace font {

// True when the bytes start as a BDF font does: STARTFONT, after any COMMENT
// lines and blank lines.
bool IsBdf(std::span<const std::uint8_t> bytes);

// Refuses a BDF font whose glyph boxes alone would have its reader allocate
// far more than a font of 7-row glyphs needs: one box wider or higher than
// MaxGlyphBoxSide, or boxes asking for more than MaxBdfBitmapBytes of bitmap
// in all. Raises Failure naming `fileName`, and the glyph and its line.
void CheckBdfBoxes(std::string_view text, const std::string& fileName);

}  // namespace font
