#pragma once

#include <cstddef>
#include <cstdint>

#include "font/Glyph.h"
#include "font/InkRows.h"

namespace font {

// A rendered glyph bitmap as rows of bytes, its top row first.
struct BitmapView {
    const std::uint8_t* top = nullptr;  // the first byte of the top row
    std::ptrdiff_t pitch = 0;           // from one row to the next; negative runs backwards
    unsigned width = 0;
    unsigned rows = 0;
    bool mono = true;   // one bit a pixel, the leftmost in the high bit; else one byte a pixel
    int threshold = 1;  // the least byte value that sets a pixel of a gray bitmap

    const std::uint8_t* Row(unsigned r) const {
        return top + static_cast<std::ptrdiff_t>(r) * pitch;
    }
};

// The rows holding a set pixel, numbered from `topRow` for the bitmap's top row.
InkRows InkOf(const BitmapView& bitmap, int topRow);

// Sets the glyph's pixels from the bitmap, whose top-left pixel lands on
// column `left` and row `top` of the cells, and returns how many set pixels
// find no cell. Only the pixels that can land in a cell are looked at one by
// one; the rest are counted a byte at a time.
std::int64_t DrawBitmap(const BitmapView& bitmap, Glyph& glyph, long left, long top);

}  // namespace font
