#pragma once

#include <cstddef>

namespace font {

// How much of a font file an import is willing to hold, so that a small hostile
// file cannot make it work or allocate without end. Real fonts of 7-row glyphs
// stay far below each.

// A glyph box wider or higher than this is far beyond the 16 x 7 cells: the
// glyph is refused before it is rendered.
constexpr unsigned MaxGlyphBoxSide = 256;

// The most bytes a font is read into memory with: a BDF file, or what a
// compressed font inflates to.
constexpr std::size_t MaxFontBytes = std::size_t{32} << 20;

// The most bitmap bytes the boxes of a BDF font may ask FreeType for in all.
constexpr std::size_t MaxBdfBitmapBytes = std::size_t{32} << 20;

}  // namespace font
