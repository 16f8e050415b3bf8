#include "formats/otb/EmbeddedBitmaps.h"

#include <algorithm>

#include "formats/sfnt/BigEndianBytes.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
constexpr std::uint32_t Version = 0x00020000;
// The EBLC header and its one BitmapSize record.
constexpr std::uint32_t IndexArrayOffset = 8 + 48;
constexpr std::uint32_t IndexArraySize = 8;
// Index subtable format 1 (a 32-bit offset a glyph) over image format 1
// (small metrics, rows in whole bytes).
constexpr unsigned IndexFormat = 1, ImageFormat = 1;

// A glyph's small metrics and rows, the leftmost pixel in the top bit.
void WriteImage(const Glyph& glyph, int ascent, BigEndianBytes& out) {
    const int height = glyph.width == 0 ? 0 : Rows;
    out.U8(static_cast<unsigned>(height));
    out.U8(static_cast<unsigned>(glyph.width));
    out.I8(0);
    out.I8(glyph.width == 0 ? 0 : ascent);
    out.U8(static_cast<unsigned>(glyph.width));
    for (int row = 0; row < height; ++row)
        for (int byte = 0; byte * 8 < glyph.width; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int col = byte * 8 + bit;
                bits = bits << 1 | (col < glyph.width && glyph.Pixel(col, row) ? 1u : 0u);
            }
            out.U8(bits);
        }
}

// Line metrics of the strike: the line from the ascent to the descent, the
// widest glyph, and bitmaps that all start at the origin.
void WriteLineMetrics(int ascent, int widest, BigEndianBytes& out) {
    out.I8(ascent);
    out.I8(ascent - Rows);
    out.U8(static_cast<unsigned>(widest));
    out.I8(1);  // upright caret
    out.I8(0);
    out.I8(0);
    out.I8(0);  // no glyph begins left of its origin
    out.I8(0);  // nor ends past its advance
    out.I8(ascent);
    out.I8(ascent - Rows);
    out.I8(0);
    out.I8(0);
}

}  // namespace

EmbeddedBitmaps WriteEmbeddedBitmaps(const std::vector<Glyph>& glyphs, int ascent) {
    BigEndianBytes data;
    data.U32(Version);
    std::vector<std::uint32_t> offsets;
    int widest = 0;
    for (const Glyph& glyph : glyphs) {
        offsets.push_back(static_cast<std::uint32_t>(data.Size() - 4));
        WriteImage(glyph, ascent, data);
        widest = std::max(widest, glyph.width);
    }
    offsets.push_back(static_cast<std::uint32_t>(data.Size() - 4));

    const auto last = static_cast<unsigned>(glyphs.size() - 1);
    const auto subtableSize = static_cast<std::uint32_t>(8 + 4 * offsets.size());
    BigEndianBytes location;
    location.U32(Version);
    location.U32(1);  // one strike
    location.U32(IndexArrayOffset);
    location.U32(IndexArraySize + subtableSize);
    location.U32(1);  // one index subtable
    location.U32(0);  // no colour
    WriteLineMetrics(ascent, widest, location);
    WriteLineMetrics(ascent, widest, location);
    location.U16(0);
    location.U16(last);
    location.U8(Rows);  // pixels per em, across and down
    location.U8(Rows);
    location.U8(1);  // one bit a pixel
    location.U8(1);  // horizontal metrics
    // The index subtable array, then its one subtable over every glyph.
    location.U16(0);
    location.U16(last);
    location.U32(IndexArraySize);
    location.U16(IndexFormat);
    location.U16(ImageFormat);
    location.U32(4);  // the images start after EBDT's version
    for (const std::uint32_t offset : offsets) location.U32(offset);
    return {location.Take(), data.Take()};
}

}  // namespace font
