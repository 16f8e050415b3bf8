#include "glyph/GlyphFile.h"

#include <istream>
#include <ostream>
#include <string>

#include "glyph/Errors.h"

namespace glyph {
namespace {

constexpr std::uint8_t Height = CellGrid::RowCount;

// The bits inside the width, so that bits beyond it never reach a file.
std::uint16_t WidthMask(int width) {
    return static_cast<std::uint16_t>(0xFFFFu << (CellGrid::ColCount - width));
}

void CheckReadable(std::span<const std::uint8_t> bytes, std::string_view path) {
    const GlyphDefect defect = FindDefect(bytes);
    if (defect == GlyphDefect::TooShort)
        throw EGlyphFormatError("ファイル " + std::string(path) + " は " +
                                std::to_string(bytes.size()) + " バイトしかありません");
    if (defect == GlyphDefect::TooWide)
        throw EGlyphFormatError("ファイル " + std::string(path) + " の幅 " +
                                std::to_string(bytes[0]) + " は 16 を超えています");
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

int ReadGlyph(std::span<const std::uint8_t> bytes, GlyphRows& rows, std::string_view path) {
    CheckReadable(bytes, path);
    const int width = bytes[0];
    const std::uint8_t* bitmap = bytes.data() + HeaderSize;
    const std::uint16_t mask = WidthMask(width);
    for (int row = 0; row < CellGrid::RowCount; ++row) {
        const unsigned bits = width > 8 ? (bitmap[2 * row] << 8) | bitmap[2 * row + 1]
                                        : static_cast<unsigned>(bitmap[row]) << 8;
        rows[static_cast<std::size_t>(row)] = static_cast<std::uint16_t>(bits & mask);
    }
    return width;
}

int ReadGlyph(std::span<const std::uint8_t> bytes, CellGrid& grid, std::string_view path) {
    GlyphRows rows{};
    const int width = ReadGlyph(bytes, rows, path);
    CellGrid decoded;
    decoded.Initialise(width);
    for (int row = 0; row < CellGrid::RowCount; ++row)
        for (int col = 0; col < width; ++col) {
            const bool set = (rows[static_cast<std::size_t>(row)] >> (15 - col)) & 1;
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

std::vector<std::uint8_t> EncodeGlyph(const GlyphRows& rows, int width) {
    CheckWritableWidth(width);
    std::vector<std::uint8_t> bytes(HeaderSize + BitmapSize(width), 0);
    bytes[0] = static_cast<std::uint8_t>(width);
    bytes[2] = Height;
    std::uint8_t* bitmap = bytes.data() + HeaderSize;
    const std::uint16_t mask = WidthMask(width);
    for (int row = 0; row < CellGrid::RowCount; ++row) {
        const unsigned bits = rows[static_cast<std::size_t>(row)] & mask;
        if (width > 8) {
            bitmap[2 * row] = static_cast<std::uint8_t>(bits >> 8);
            bitmap[2 * row + 1] = static_cast<std::uint8_t>(bits & 0xFF);
        } else {
            bitmap[row] = static_cast<std::uint8_t>(bits >> 8);
        }
    }
    return bytes;
}

std::vector<std::uint8_t> EncodeGlyph(const CellGrid& grid, int width) {
    CheckWritableWidth(width);
    GlyphRows rows{};
    for (int row = 0; row < CellGrid::RowCount; ++row)
        for (int col = 0; col < width; ++col)
            if (IsSet(grid.Get(col, row)))
                rows[static_cast<std::size_t>(row)] |= static_cast<std::uint16_t>(0x8000u >> col);
    return EncodeGlyph(rows, width);
}

void WriteGlyph(std::ostream& out, const CellGrid& grid, int width) {
    const auto bytes = EncodeGlyph(grid, width);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace glyph
