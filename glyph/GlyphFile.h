#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>
#include <vector>

#include "glyph/CellGrid.h"

namespace glyph {

// A glyph file: width byte, 0, height 7, 0, then 7 bitmap bytes for widths up
// to 8 (one byte a row) or 14 for widths 9 to 16 (two bytes a row). The
// leftmost column is the most significant bit; bits at or beyond the width
// are 0.
inline constexpr int MaxWidth = CellGrid::ColCount;
inline constexpr std::size_t HeaderSize = 4;
inline constexpr std::size_t MaxGlyphFileSize = HeaderSize + 14;

constexpr std::size_t BitmapSize(int width) {
    return width > 8 ? 14 : 7;
}
constexpr std::size_t GlyphFileSize(int width) {
    return HeaderSize + BitmapSize(width);
}

// The 7 rows of a glyph as bits, column 0 in the most significant of 16.
using GlyphRows = std::array<std::uint16_t, CellGrid::RowCount>;

enum class GlyphDefect { None, TooShort, TooWide };

// Why these bytes cannot be read as a glyph, if they cannot: shorter than the
// glyph their width byte announces, or wider than 16 columns.
GlyphDefect FindDefect(std::span<const std::uint8_t> bytes);

// Decodes a glyph into `grid` and returns its width. Bytes past the glyph are
// ignored. The whole input is checked before the grid is touched: a file
// shorter than its glyph or wider than 16 columns raises EGlyphFormatError,
// naming `path`, and leaves the grid as it was.
int ReadGlyph(std::span<const std::uint8_t> bytes, CellGrid& grid, std::string_view path);
int ReadGlyph(std::istream& in, CellGrid& grid, std::string_view path);
int ReadGlyph(std::span<const std::uint8_t> bytes, GlyphRows& rows, std::string_view path);

// Encodes the first `width` columns of `grid`. Only clRed gives a 1 bit. A
// width outside 0..16 raises EWidthRangeError before anything is produced.
std::vector<std::uint8_t> EncodeGlyph(const CellGrid& grid, int width);
std::vector<std::uint8_t> EncodeGlyph(const GlyphRows& rows, int width);
void WriteGlyph(std::ostream& out, const CellGrid& grid, int width);

// Raises EWidthRangeError unless 0 <= width <= 16.
void CheckWritableWidth(int width);

}  // namespace glyph
