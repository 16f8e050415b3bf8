#include "font/BitmapPixels.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "font/ImportReport.h"

namespace font {
namespace {

bool IsSet(const BitmapView& bitmap, const std::uint8_t* line, unsigned col) {
    if (bitmap.mono) return ((line[col / 8] >> (7 - col % 8)) & 1) != 0;
    return line[col] >= bitmap.threshold;
}

// The set pixels of one row; bits past the width in its last byte are padding.
std::int64_t CountRow(const BitmapView& bitmap, const std::uint8_t* line) {
    std::int64_t count = 0;
    if (!bitmap.mono) {
        for (unsigned c = 0; c < bitmap.width; ++c) count += line[c] >= bitmap.threshold ? 1 : 0;
        return count;
    }
    const unsigned whole = bitmap.width / 8;
    unsigned b = 0;
    for (; b + 8 <= whole; b += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, line + b, 8);
        count += std::popcount(word);
    }
    for (; b < whole; ++b) count += std::popcount(line[b]);
    if (const unsigned rest = bitmap.width % 8; rest != 0)
        count += std::popcount(static_cast<std::uint8_t>(line[whole] & (0xFF00u >> rest)));
    return count;
}

bool RowHasInk(const BitmapView& bitmap, const std::uint8_t* line) {
    if (!bitmap.mono) return CountRow(bitmap, line) != 0;
    const unsigned whole = bitmap.width / 8;
    for (unsigned b = 0; b < whole; ++b)
        if (line[b] != 0) return true;
    const unsigned rest = bitmap.width % 8;
    return rest != 0 && (line[whole] & (0xFF00u >> rest)) != 0;
}

}  // namespace

InkRows InkOf(const BitmapView& bitmap, int topRow) {
    InkRows ink;
    for (unsigned r = 0; r < bitmap.rows; ++r) {
        if (!RowHasInk(bitmap, bitmap.Row(r))) continue;
        const long long row = static_cast<long long>(topRow) + r;
        ink.Add(static_cast<int>(std::clamp<long long>(row, INT_MIN, INT_MAX)));
    }
    return ink;
}

std::int64_t DrawBitmap(const BitmapView& bitmap, Glyph& glyph, long left, long top) {
    std::int64_t set = 0;
    std::int64_t kept = 0;
    // The bitmap's columns and rows that land inside the glyph's width and its 7 rows.
    const long long firstCol = std::max<long long>(0, -static_cast<long long>(left));
    const long long endCol =
        std::min<long long>(bitmap.width, static_cast<long long>(glyph.width) - left);
    for (unsigned r = 0; r < bitmap.rows; ++r) {
        const std::uint8_t* line = bitmap.Row(r);
        set += CountRow(bitmap, line);
        const long long row = static_cast<long long>(top) + r;
        if (row < 0 || row >= glyph::CellGrid::RowCount) continue;
        for (long long c = firstCol; c < endCol; ++c) {
            if (!IsSet(bitmap, line, static_cast<unsigned>(c))) continue;
            SetPixel(glyph, static_cast<int>(left + c), static_cast<int>(row));
            ++kept;
        }
    }
    return set - kept;
}

}  // namespace font
