#include "formats/chart/ChartReader.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>

#include "font/Failure.h"
#include "font/FontFormat.h"
#include "font/NumberText.h"
#include "font/Unicode.h"
#include "formats/chart/ChartLayout.h"
#include "formats/chart/LabelFont.h"
#include "picture/PngImage.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
constexpr int CellColumns = glyph::CellGrid::ColCount;
// How far a channel may stray from a chart colour and still be it.
constexpr int Tolerance = 8;

std::string At(long x, long y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

bool Is(Rgba p, ChartColor c) {
    return p.a == 255 && std::abs(p.r - c.r) <= Tolerance && std::abs(p.g - c.g) <= Tolerance &&
           std::abs(p.b - c.b) <= Tolerance;
}

// Dark on white: luminance below one half, the pixel laid over white.
bool IsDark(Rgba p) {
    const double luminance = (0.2126 * p.r + 0.7152 * p.g + 0.0722 * p.b) / 255.0;
    const double alpha = p.a / 255.0;
    return alpha * luminance + (1.0 - alpha) < 0.5;
}

class ChartReader {
  public:
    ChartReader(const RgbaImage& picture, const ChartLayout& layout, const std::string& fileName)
        : picture_(picture), layout_(layout), fileName_(fileName) {}

    // The centre of the scaled pixel at (col, row) of a block starting at (x, y).
    Rgba Sample(long x, long y, int col, int row) const {
        const int s = layout_.scale;
        return picture_.Pixel(x + col * s + s / 2, y + row * s + s / 2);
    }

    std::optional<char> Character(long x, long y) const {
        label_font::Rows rows{};
        for (int r = 0; r < label_font::Height; ++r)
            for (int c = 0; c < label_font::Width; ++c) {
                const Rgba p = Sample(x, y, c, r);
                if (Is(p, chart_colors::Label))
                    rows[r] |= static_cast<std::uint8_t>(1u << (label_font::Width - 1 - c));
                else if (!Is(p, chart_colors::Background))
                    return std::nullopt;
            }
        return label_font::Character(rows);
    }

    std::optional<std::string> Text(long x, long y, int count) const {
        std::string text;
        for (int i = 0; i < count; ++i) {
            const auto c = Character(x + i * label_font::Advance * layout_.scale, y);
            if (!c) return std::nullopt;
            text += *c;
        }
        return text;
    }

    [[noreturn]] void Refuse(const std::string& what) const {
        throw Failure(fileName_ + ": " + what);
    }

    // A picture without the grid is not a chart, and other readers of
    // pictures may take it.
    void CheckGrid() const {
        if (!Is(picture_.Pixel(0, 0), chart_colors::Background))
            throw NotThisFormat(
                "no chart grid found: the pixel at (0, 0) is not a chart's background");
        for (int col = 0; col < ChartLayout::Columns; ++col) {
            const char digit = HexDigits[col];
            if (Character(layout_.CellX(col), layout_.HeadingY()) != digit)
                throw NotThisFormat("no chart grid found: the heading of column " +
                                    std::string(1, digit) + " at " +
                                    At(layout_.CellX(col), layout_.HeadingY()) + " does not read " +
                                    std::string(1, digit));
        }
    }

    // The first code point of a row, from its label.
    char32_t RowStart(int row, std::optional<char32_t> previous) const {
        const long x = layout_.LabelX(), y = layout_.LabelY(row);
        const std::string where = "the label of row " + std::to_string(row + 1) + " at " + At(x, y);
        const auto text = Text(x, y, 8);
        if (!text) Refuse("cannot read " + where);
        const std::string_view label(*text);
        const std::size_t end = label.find(' ');
        const std::string_view digits =
            label.substr(2, end == std::string_view::npos ? end : end - 2);
        unsigned value = 0;
        const auto [stop, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        const bool read = label.starts_with("U+") && digits.size() >= 4 && error == std::errc() &&
                          stop == digits.data() + digits.size() &&
                          label.find_first_not_of(' ', digits.size() + 2) == std::string_view::npos;
        if (!read || value % 16 != 0 || value > 0x10FFF0)
            Refuse("cannot read " + where + ": \"" + std::string(label) +
                   "\" is no row's first code point");
        if (previous && value <= *previous)
            Refuse(where + " reads " + CodePointLabel(value) + ", which does not follow " +
                   CodePointLabel(*previous));
        return value;
    }

    // The glyph of the cell, or nothing for an empty one.
    std::optional<Glyph> Cell(int row, int col, char32_t cp) const {
        const long x = layout_.CellX(col), y = layout_.CellY(row);
        const std::string where = "the cell of " + CodePointLabel(cp) + " at " + At(x, y);
        std::array<std::array<Rgba, Rows>, CellColumns> samples{};
        int background = 0;
        for (int c = 0; c < CellColumns; ++c)
            for (int r = 0; r < Rows; ++r) {
                samples[c][r] = Sample(x, y, c, r);
                if (Is(samples[c][r], chart_colors::Background)) ++background;
            }
        if (background == CellColumns * Rows) return std::nullopt;
        if (background > 0) Refuse(where + " is cut off: part of it is the chart's background");
        const auto grey = [&](int c) {
            for (int r = 0; r < Rows; ++r)
                if (!Is(samples[c][r], chart_colors::Beyond)) return false;
            return true;
        };
        int width = 0;
        while (width < CellColumns && !grey(width)) ++width;
        for (int c = width; c < CellColumns; ++c)
            if (!grey(c))
                Refuse(where + ": column " + std::to_string(c) + " is not grey, but column " +
                       std::to_string(width) +
                       " before it is; the width ends where the grey "
                       "columns begin");
        Glyph glyph = BlankGlyph(cp, width);
        for (int c = 0; c < width; ++c)
            for (int r = 0; r < Rows; ++r)
                if (IsDark(samples[c][r])) SetPixel(glyph, c, r);
        return glyph;
    }

  private:
    const RgbaImage& picture_;
    const ChartLayout& layout_;
    const std::string& fileName_;
};

}  // namespace

ImportReport ReadChart(std::span<const std::uint8_t> png, const std::string& fileName,
                       const std::vector<CharRange>& ranges, long maxPixels) {
    const RgbaImage picture(png, fileName, maxPixels, "any chart it reads");
    const auto layout = ChartLayout::OfImage(picture.Width(), picture.Height());
    if (!layout)
        throw NotThisFormat(
            "no chart grid found: a chart is 311 pixels wide for each pixel of "
            "its scale, 1 to 32, and 16 + 8 a row high; this picture is " +
            std::to_string(picture.Width()) + " × " + std::to_string(picture.Height()));
    const ChartReader reader(picture, *layout, fileName);
    reader.CheckGrid();

    ImportReport report;
    report.source = "its chart at scale " + std::to_string(layout->scale);
    std::optional<char32_t> previous;
    for (int row = 0; row < layout->rows; ++row) {
        const char32_t first = reader.RowStart(row, previous);
        previous = first;
        for (int col = 0; col < ChartLayout::Columns; ++col) {
            const char32_t cp = first + static_cast<char32_t>(col);
            std::optional<Glyph> glyph = reader.Cell(row, col, cp);
            if (!glyph || !Picks(ranges, cp)) continue;
            if (!IsScalarValue(cp)) {
                report.Skip(fileName, CodePointLabel(cp) + " is not a Unicode character");
                continue;
            }
            report.font.glyphs.push_back(std::move(*glyph));
        }
    }
    return report;
}

}  // namespace font
