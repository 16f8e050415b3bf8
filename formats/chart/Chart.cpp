#include "formats/chart/Chart.h"

#include <algorithm>
#include <cstdio>

#include "font/Failure.h"
#include "font/NumberText.h"
#include "font/Unicode.h"
#include "formats/chart/ChartLayout.h"
#include "formats/chart/LabelFont.h"
#include "picture/Png.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
constexpr int CellColumns = glyph::CellGrid::ColCount;
constexpr int RowPitch = 8;  // scaled pixels from one chart row to the next

// The row label: "U+0040", padded to the 8 characters of "U+10FFF0".
std::string RowLabel(char32_t first) {
    std::string label = CodePointLabel(first);
    label.resize(8, ' ');
    return label;
}

enum Index : std::uint8_t { Background, Label, Set, Clear, Beyond };

PaletteColor Rgb(ChartColor c) {
    return {c.r, c.g, c.b};
}

// The palette index of every pixel, drawn row by row as libpng asks for them.
class ChartPainter {
  public:
    ChartPainter(const std::vector<ChartRow>& rows, std::string title, ChartLayout layout)
        : rows_(rows), title_(std::move(title)), layout_(layout) {
        title_.resize(std::min<std::size_t>(title_.size(), layout.TitleCharacters()));
    }

    void Fill(long y, std::vector<std::uint8_t>& row) const {
        std::fill(row.begin(), row.end(), Background);
        const int s = layout_.scale;
        Text(row, y, layout_.TitleX(), layout_.TitleY(), title_);
        for (int col = 0; col < ChartLayout::Columns; ++col)
            Text(row, y, layout_.CellX(col), layout_.HeadingY(), std::string(1, HexDigits[col]));
        // Only the chart row whose band holds y draws on it, so a pixel row
        // costs the same however many rows the chart has.
        const long band = (y - layout_.CellY(0)) / layout_.Unit(RowPitch);
        if (y < layout_.CellY(0) || band >= layout_.rows) return;
        const int r = static_cast<int>(band);
        Text(row, y, layout_.LabelX(), layout_.LabelY(r), RowLabel(rows_[r].first));
        const long top = layout_.CellY(r);
        if (y >= top + layout_.CellHeight()) return;
        const int glyphRow = static_cast<int>((y - top) / s);
        for (int col = 0; col < ChartLayout::Columns; ++col) {
            const Glyph* glyph = rows_[r].cells[col];
            if (glyph == nullptr) continue;
            std::uint8_t* at = row.data() + layout_.CellX(col);
            for (int c = 0; c < CellColumns; ++c) {
                const Index index = c >= glyph->width           ? Beyond
                                    : glyph->Pixel(c, glyphRow) ? Set
                                                                : Clear;
                // A call to fill one pixel would cost more than the pixel.
                if (s == 1)
                    *at++ = index;
                else
                    at = std::fill_n(at, s, index);
            }
        }
    }

  private:
    // The part of `text`, drawn at (x, top), that falls on row y.
    void Text(std::vector<std::uint8_t>& row, long y, int x, int top,
              const std::string& text) const {
        const int s = layout_.scale;
        if (y < top || y >= top + label_font::Height * s) return;
        const int line = static_cast<int>((y - top) / s);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::uint8_t bits = label_font::Glyph(text[i])[line];
            for (int c = 0; c < label_font::Width; ++c)
                if ((bits >> (label_font::Width - 1 - c)) & 1)
                    std::fill_n(
                        row.begin() + x + (static_cast<int>(i) * label_font::Advance + c) * s, s,
                        Label);
        }
    }

    const std::vector<ChartRow>& rows_;
    std::string title_;
    ChartLayout layout_;
};

}  // namespace

std::vector<ChartRow> ChartRows(const Font& font) {
    std::vector<ChartRow> rows;
    for (const Glyph& glyph : font.glyphs) {
        const char32_t first = glyph.codePoint & ~char32_t{0xF};
        if (rows.empty() || rows.back().first != first) rows.push_back({first, {}});
        rows.back().cells[glyph.codePoint & 0xF] = &glyph;
    }
    return rows;
}

std::string ChartTitle(const Font& font, std::string_view folderName) {
    int narrowest = CellColumns, widest = 0;
    for (const Glyph& glyph : font.glyphs) {
        narrowest = std::min(narrowest, glyph.width);
        widest = std::max(widest, glyph.width);
    }
    const std::string count = std::to_string(font.glyphs.size());
    const std::string widths = narrowest == widest ? "width " + std::to_string(widest)
                                                   : "widths " + std::to_string(narrowest) +
                                                         " to " + std::to_string(widest);
    return std::string(folderName) + ": " + count +
           (font.glyphs.size() == 1 ? " glyph, " : " glyphs, ") + widths;
}

std::string ChartText(const Font& font) {
    const auto trimmed = [](std::string line) {
        line.erase(line.find_last_not_of(' ') + 1);
        return line + "\n";
    };
    std::string heading(9, ' ');
    for (int col = 0; col < ChartLayout::Columns; ++col)
        heading += std::string(1, HexDigits[col]) + std::string(col < 15 ? 16 : 0, ' ');
    std::string out = trimmed(heading);
    for (const ChartRow& row : ChartRows(font))
        for (int r = 0; r < Rows; ++r) {
            std::string line = (r == 0 ? RowLabel(row.first) : std::string(8, ' ')) + " ";
            for (int col = 0; col < ChartLayout::Columns; ++col) {
                if (col > 0) line += '|';
                const Glyph* glyph = row.cells[col];
                for (int c = 0; c < CellColumns; ++c)
                    line += glyph == nullptr || c >= glyph->width ? ' '
                            : glyph->Pixel(c, r)                  ? '#'
                                                                  : '.';
            }
            out += trimmed(line);
        }
    return out;
}

std::vector<std::uint8_t> ChartPng(const Font& font, std::string_view title, int scale) {
    if (font.glyphs.empty()) throw Failure("no glyphs to chart");
    const std::vector<ChartRow> rows = ChartRows(font);
    const ChartLayout layout{scale, static_cast<int>(rows.size())};
    if (layout.Pixels() > MaxChartPixels) {
        const auto largest = ChartLayout::LargestScale(layout.rows, MaxChartPixels);
        throw Failure("a chart of " + std::to_string(rows.size()) + " rows at scale " +
                      std::to_string(scale) + " would be " + std::to_string(layout.Width()) +
                      " × " + std::to_string(layout.Height()) +
                      " pixels, larger than import reads; " +
                      (largest ? "--scale " + std::to_string(*largest) + " is the largest it reads"
                               : "split the folder into smaller ones"));
    }
    const ChartPainter painter(rows, label_font::Spell(title), layout);
    const std::vector<PaletteColor> palette = {Rgb(chart_colors::Background),
                                               Rgb(chart_colors::Label), Rgb(chart_colors::Set),
                                               Rgb(chart_colors::Clear), Rgb(chart_colors::Beyond)};
    return EncodeIndexedPng(layout.Width(), layout.Height(), palette,
                            [&](long y, std::vector<std::uint8_t>& row) { painter.Fill(y, row); });
}

}  // namespace font
