#include "glyph/GlyphFile.h"

#include <istream>
#include <ostream>
#include <string>

#include "glyph/Errors.h"

namespace glyph {
namespace {

constexpr std::uint8_t Height = CellGrid::RowCount;

// The bitmap byte and bit that hold a cell, for a glyph of the given width.
struct BitPlace {
    std::size_t byte;
    int bit;
};

BitPlace PlaceOf(int width, int col, int row) {
    if (width <= 8) return {static_cast<std::size_t>(row), 7 - col};
    if (col < 8) return {static_cast<std::size_t>(2 * row), 7 - col};
    return {static_cast<std::size_t>(2 * row + 1), 15 - col};
}

}  // namespace

void CheckWritableWidth(int width) {
    if (width < 0 || width > MaxWidth)
        throw EWidthRangeError("幅 " + std::to_string(width) + " は 0 から 16 の範囲外です");
}

GlyphDefect FindDefect(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < GlyphFileSize(bytes.empty() ? 0 : bytes[0])) return GlyphDefect::TooShort;
    if (bytes[0] > MaxWidth) return GlyphDefect::TooWide;
    return GlyphDefect::None;
}

int ReadGlyph(std::span<const std::uint8_t> bytes, CellGrid& grid, std::string_view path) {
    const GlyphDefect defect = FindDefect(bytes);
    if (defect == GlyphDefect::TooShort)
        throw EGlyphFormatError("ファイル " + std::string(path) + " は " +
                                std::to_string(bytes.size()) + " バイトしかありません");
    const int width = bytes[0];
    if (defect == GlyphDefect::TooWide)
        throw EGlyphFormatError("ファイル " + std::string(path) + " の幅 " + std::to_string(width) +
                                " は 16 を超えています");

    const auto bitmap = bytes.subspan(HeaderSize, BitmapSize(width));
    CellGrid decoded;
    decoded.Initialise(width);
    for (int row = 0; row < CellGrid::RowCount; ++row)
        for (int col = 0; col < width; ++col) {
            const BitPlace place = PlaceOf(width, col, row);
            const bool set = (bitmap[place.byte] >> place.bit) & 1;
            decoded.Set(col, row, set ? clRed : clWindow);
        }
    grid = decoded;
    return width;
}

int ReadGlyph(std::istream& in, CellGrid& grid, std::string_view path) {
    std::vector<std::uint8_t> bytes(MaxGlyphFileSize);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return ReadGlyph(bytes, grid, path);
}

std::vector<std::uint8_t> EncodeGlyph(const CellGrid& grid, int width) {
    CheckWritableWidth(width);
    std::vector<std::uint8_t> bytes(HeaderSize + BitmapSize(width), 0);
    bytes[0] = static_cast<std::uint8_t>(width);
    bytes[2] = Height;
    std::uint8_t* bitmap = bytes.data() + HeaderSize;
    for (int row = 0; row < CellGrid::RowCount; ++row)
        for (int col = 0; col < width; ++col)
            if (IsSet(grid.Get(col, row))) {
                const BitPlace place = PlaceOf(width, col, row);
                bitmap[place.byte] |= static_cast<std::uint8_t>(1u << place.bit);
            }
    return bytes;
}

void WriteGlyph(std::ostream& out, const CellGrid& grid, int width) {
    const auto bytes = EncodeGlyph(grid, width);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace glyph
