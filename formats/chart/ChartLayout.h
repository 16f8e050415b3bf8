#pragma once

#include <cstdint>
#include <optional>

namespace font {

// The largest picture a chart is read from, and so the largest one drawn.
inline constexpr long MaxChartPixels = 64L << 20;

// An RGB colour of a chart.
struct ChartColor {
    std::uint8_t r, g, b;
    bool operator==(const ChartColor&) const = default;
};

// The colours of a chart: glyph pixels as the editor paints them, and the
// background of gaps, margins and empty cells, which is none of those.
namespace chart_colors {
inline constexpr ChartColor Set{0x00, 0x00, 0x00};
inline constexpr ChartColor Clear{0xFF, 0xFF, 0xFF};
inline constexpr ChartColor Beyond{0xEF, 0xEF, 0xEF};  // the editor's button face
inline constexpr ChartColor Background{0x2B, 0x57, 0x8C};
inline constexpr ChartColor Label{0xFF, 0xFF, 0xFF};
}  // namespace chart_colors

// Where everything of a chart lies, in pixels, for a scale (the size of one
// glyph pixel) and a number of rows. Every length is a whole number of
// scaled pixels: a margin of 2, the title and the column headings 5 high
// (the label font), a gap of 1 between cells, the row labels 8 characters
// wide. The image is 311 scaled pixels wide.
struct ChartLayout {
    static constexpr int Columns = 16;
    static constexpr int MinScale = 1;
    static constexpr int MaxScale = 32;
    static constexpr int WidthUnits = 311;

    int scale = 1;
    int rows = 1;

    int Unit(int n) const { return n * scale; }
    int Width() const { return Unit(WidthUnits); }
    int Height() const { return Unit(16 + 8 * rows); }
    int TitleX() const { return Unit(2); }
    int TitleY() const { return Unit(2); }
    int HeadingY() const { return Unit(9); }
    int LabelX() const { return Unit(2); }
    int LabelY(int row) const { return CellY(row) + Unit(1); }
    int CellX(int col) const { return Unit(38 + 17 * col); }
    int CellY(int row) const { return Unit(15 + 8 * row); }
    int CellWidth() const { return Unit(16); }
    int CellHeight() const { return Unit(7); }
    // How many characters of the title fit in the image.
    int TitleCharacters() const { return (WidthUnits - 4 + 1) / 4; }

    long Pixels() const { return static_cast<long>(Width()) * Height(); }

    // The layout of an image of that size, when it is one a chart can have.
    static std::optional<ChartLayout> OfImage(long width, long height);
    // The largest scale at which a chart of `rows` rows has at most
    // `maxPixels` pixels; none when not even the smallest one does.
    static std::optional<int> LargestScale(int rows, long maxPixels);
};

}  // namespace font
