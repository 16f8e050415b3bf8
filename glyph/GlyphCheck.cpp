#include "glyph/GlyphCheck.h"

#include <algorithm>
#include <bit>

#include "glyph/CellGrid.h"
#include "glyph/GlyphFile.h"

namespace glyph {
namespace {

std::string Count(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Bits of the bitmap that lie at or beyond the width: in every byte for widths
// up to 8, in the odd (columns 8 to 15) bytes from width 9.
int BitsBeyondWidth(std::span<const std::uint8_t> bitmap, int width) {
    int count = 0;
    for (std::size_t k = 0; k < bitmap.size(); ++k) {
        const int firstUnused = width <= 8 ? width : (k % 2 == 0 ? 8 : width - 8);
        const unsigned mask = (1u << (8 - firstUnused)) - 1u;
        // Nearly always clear: the count, a library call without POPCNT, is then skipped.
        if (const unsigned bits = bitmap[k] & mask; bits != 0) count += std::popcount(bits);
    }
    return count;
}

}  // namespace

std::vector<Finding> InspectGlyph(std::span<const std::uint8_t> head, std::uint64_t fileSize) {
    std::vector<Finding> findings;
    const auto error = [&](std::string text) { findings.push_back({Severity::Error, text}); };
    const auto warning = [&](std::string text) { findings.push_back({Severity::Warning, text}); };
    const std::uint64_t size = std::max<std::uint64_t>(fileSize, head.size());

    const GlyphDefect defect = FindDefect(head);
    if (head.empty()) {
        error("empty file; a glyph file has at least " + std::to_string(GlyphFileSize(0)) +
              " bytes");
        return findings;
    }
    const int width = head[0];
    if (defect == GlyphDefect::TooWide || width > MaxWidth)
        error("width " + std::to_string(width) + " is above " + std::to_string(MaxWidth));
    if (defect == GlyphDefect::TooShort)
        error(Count(size, "byte", "bytes") + ", shorter than the " +
              std::to_string(GlyphFileSize(width)) + " of a glyph of width " +
              std::to_string(width));

    if (head.size() > 1 && head[1] != 0)
        warning("byte 1 is " + std::to_string(head[1]) + ", not 0");
    if (head.size() > 2 && head[2] != CellGrid::RowCount)
        warning("height byte is " + std::to_string(head[2]) + ", not 7");
    if (head.size() > 3 && head[3] != 0)
        warning("byte 3 is " + std::to_string(head[3]) + ", not 0");
    if (defect != GlyphDefect::None) return findings;

    const int beyond = BitsBeyondWidth(head.subspan(HeaderSize, BitmapSize(width)), width);
    if (beyond > 0)
        warning(Count(beyond, "bit", "bits") + " set at or beyond the width " +
                std::to_string(width));
    if (size > GlyphFileSize(width))
        warning(Count(size - GlyphFileSize(width), "byte", "bytes") + " after the bitmap");
    return findings;
}

}  // namespace glyph
