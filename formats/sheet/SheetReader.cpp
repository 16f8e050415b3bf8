#include "formats/sheet/SheetReader.h"

#include <algorithm>
#include <optional>

#include "font/Failure.h"
#include "font/InkRows.h"
#include "font/Unicode.h"
#include "glyph/CellGrid.h"
#include "picture/PngImage.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
constexpr char32_t LastCodePoint = 0x10FFFF;

std::string At(long x, long y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// Which pixels of a picture are ink.
class InkMap {
  public:
    explicit InkMap(const RgbaImage& image) : image_(image) {
        bool transparent = false;
        for (long y = 0; y < image.Height(); ++y)
            for (long x = 0; x < image.Width(); ++x) {
                const Rgba p = image.Pixel(x, y);
                if (!Opaque(p)) {
                    transparent = true;
                    continue;
                }
                darkest_ = std::min(darkest_, Luminance(p));
                lightest_ = std::max(lightest_, Luminance(p));
            }
        oneColourOnClear_ = transparent && darkest_ == lightest_;
    }

    bool Ink(long x, long y) const {
        const Rgba p = image_.Pixel(x, y);
        if (!Opaque(p)) return false;
        if (oneColourOnClear_) return true;
        // Twice the luminance against the sum keeps the midpoint exact.
        return 2 * Luminance(p) < darkest_ + lightest_;
    }

  private:
    static bool Opaque(Rgba p) { return p.a >= 128; }
    static long Luminance(Rgba p) { return 2126L * p.r + 7152L * p.g + 722L * p.b; }

    const RgbaImage& image_;
    long darkest_ = 255L * 10000;
    long lightest_ = 0;
    bool oneColourOnClear_ = false;
};

// One cell's ink, row by row of the cell, a bit a glyph column.
struct Cell {
    char32_t codePoint;
    std::vector<std::vector<bool>> ink;  // [row][col]
    InkRows rows;
    int lastColumn = -1;  // the last inked column; -1 when blank
};

class SheetCells {
  public:
    SheetCells(const RgbaImage& image, const SheetGrid& grid, const std::string& fileName)
        : image_(image), grid_(grid), fileName_(fileName) {
        const long cellW = static_cast<long>(grid.cellWidth) * grid.scale;
        const long cellH = static_cast<long>(grid.cellHeight) * grid.scale;
        strideX_ = cellW + grid.gapX;
        strideY_ = cellH + grid.gapY;
        const long fitX = image.Width() < grid.originX + cellW
                              ? 0
                              : (image.Width() - grid.originX - cellW) / strideX_ + 1;
        perRow_ = grid.perRow > 0 ? grid.perRow : fitX;
        const long fitY = image.Height() < grid.originY + cellH
                              ? 0
                              : (image.Height() - grid.originY - cellH) / strideY_ + 1;
        rows_ = fitY;
        if (perRow_ > fitX) Refuse(0, fitX, cellW, cellH);
        if (perRow_ == 0 || rows_ == 0) Refuse(0, 0, cellW, cellH);
        const long codes = static_cast<long>(LastCodePoint - grid.first) + 1;
        rows_ = std::min(rows_, (codes + perRow_ - 1) / perRow_);
    }

    long Count() const {
        const long codes = static_cast<long>(LastCodePoint - grid_.first) + 1;
        return std::min(rows_ * perRow_, codes);
    }

    Cell Read(const InkMap& ink, long index) const {
        const long row = index / perRow_, col = index % perRow_;
        const long x = grid_.originX + col * strideX_, y = grid_.originY + row * strideY_;
        const int s = grid_.scale;
        Cell cell{grid_.first + static_cast<char32_t>(index),
                  std::vector<std::vector<bool>>(static_cast<std::size_t>(grid_.cellHeight),
                                                 std::vector<bool>(grid_.cellWidth)),
                  {},
                  -1};
        for (int r = 0; r < grid_.cellHeight; ++r)
            for (int c = 0; c < grid_.cellWidth; ++c)
                if (ink.Ink(x + static_cast<long>(c) * s + s / 2,
                            y + static_cast<long>(r) * s + s / 2)) {
                    cell.ink[r][c] = true;
                    cell.rows.Add(r);
                    cell.lastColumn = std::max(cell.lastColumn, c);
                }
        return cell;
    }

  private:
    [[noreturn]] void Refuse(long row, long col, long cellW, long cellH) const {
        const long x = grid_.originX + col * strideX_, y = grid_.originY + row * strideY_;
        throw Failure(fileName_ + ": the cell of " +
                      CodePointLabel(grid_.first + static_cast<char32_t>(row * perRow_ + col)) +
                      " (row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1) +
                      ") at " + At(x, y) + ", " + std::to_string(cellW) + " × " +
                      std::to_string(cellH) + " pixels, does not fit in the picture of " +
                      std::to_string(image_.Width()) + " × " + std::to_string(image_.Height()));
    }

    const RgbaImage& image_;
    const SheetGrid& grid_;
    const std::string& fileName_;
    long strideX_ = 0, strideY_ = 0;
    long perRow_ = 0, rows_ = 0;
};

}  // namespace

ImportReport ReadSheet(std::span<const std::uint8_t> png, const std::string& fileName,
                       const SheetGrid& grid, const std::vector<CharRange>& ranges,
                       long maxPixels) {
    const RgbaImage image(png, fileName, maxPixels, "any sheet it reads");
    const SheetCells cells(image, grid, fileName);
    const InkMap ink(image);

    // The cells are read twice, first for where the ink lies, so that no
    // more than one is held at a time.
    InkRows rows;
    long lastInked = -1;
    for (long i = 0; i < cells.Count(); ++i) {
        const Cell cell = cells.Read(ink, i);
        if (cell.lastColumn >= 0) lastInked = i;
        rows.Add(cell.rows);
    }
    const std::optional<int> top = TopRowFor(rows, 0);
    if (!top)
        throw Failure(fileName + ": the ink spans " + std::to_string(rows.Span()) +
                      " rows of the cells, from row " + std::to_string(rows.first) + " to row " +
                      std::to_string(rows.last) + "; a glyph has " + std::to_string(Rows));

    ImportReport report;
    report.source = "its cells of " + std::to_string(grid.cellWidth) + " × " +
                    std::to_string(grid.cellHeight) + " at scale " + std::to_string(grid.scale);
    for (long i = 0; i <= lastInked; ++i) {
        const Cell cell = cells.Read(ink, i);
        if (!Picks(ranges, cell.codePoint)) continue;
        if (!IsScalarValue(cell.codePoint)) {
            if (cell.lastColumn >= 0)
                report.Skip(fileName,
                            CodePointLabel(cell.codePoint) + " is not a Unicode character");
            continue;
        }
        const long width = !grid.proportional    ? grid.cellWidth
                           : cell.lastColumn < 0 ? (grid.cellWidth + 1) / 2
                                                 : cell.lastColumn + 2;
        std::optional<Glyph> glyph = report.Start(fileName, cell.codePoint, width);
        if (!glyph) continue;
        int dropped = 0;
        for (int r = 0; r < grid.cellHeight; ++r)
            for (int c = 0; c < grid.cellWidth; ++c)
                if (cell.ink[r][c] && !SetPixel(*glyph, c, r - *top)) ++dropped;
        report.Keep(fileName, std::move(*glyph), dropped);
    }
    return report;
}

}  // namespace font
