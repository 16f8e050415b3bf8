#include "formats/sheet/SheetFormat.h"

#include <charconv>
#include <optional>
#include <utility>

#include "font/Failure.h"
#include "formats/sheet/SheetReader.h"
#include "glyph/CellGrid.h"
#include "picture/PngImage.h"

namespace formats {
namespace {

constexpr long MaxCellSide = 256;
constexpr long MaxOffset = 1'000'000;

std::optional<long> Number(std::string_view text, long high) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > high)
        return std::nullopt;
    return value;
}

// Two numbers from 0 to `high` on either side of `separator`.
std::optional<std::pair<long, long>> Pair(std::string_view text, char separator, long high) {
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) return std::nullopt;
    const auto a = Number(text.substr(0, at), high), b = Number(text.substr(at + 1), high);
    if (!a || !b) return std::nullopt;
    return std::pair{*a, *b};
}

std::optional<std::pair<long, long>> CellSize(std::string_view text) {
    const auto size = Pair(text, 'x', MaxCellSide);
    if (!size || size->first < 1 || size->second < 1) return std::nullopt;
    return size;
}

bool IsCellSize(std::string_view text) {
    return CellSize(text).has_value();
}
bool IsOffset(std::string_view text) {
    return Pair(text, ',', MaxOffset).has_value();
}
bool IsCodePoint(std::string_view text) {
    const auto range = font::ParseCharRange(text);
    return range && range->first == range->last;
}

const font::OptionGroup& SheetOptions() {
    static const font::OptionGroup group{
        {font::OptionSpec::Text("--cell", "WxH",
                                "a sheet's cells, W × H glyph pixels (each --scale × --scale "
                                "picture pixels); W up to 16 unless --proportional",
                                IsCellSize, "a cell size such as 8x8 (1 to 256 each)"),
         font::OptionSpec::Text("--first", "CODE",
                                "the code point of a sheet's first cell (default U+0020)",
                                IsCodePoint, "a code point such as U+0020, 0x20 or 32"),
         font::OptionSpec::Integer("--per-row", "a sheet's cells a row (default as many as fit)", 1,
                                   MaxOffset),
         font::OptionSpec::Text("--origin", "X,Y",
                                "the picture pixel where a sheet's first cell starts (default 0,0)",
                                IsOffset, "two numbers such as 2,3"),
         font::OptionSpec::Text("--gap", "X,Y",
                                "picture pixels between a sheet's cells across and down "
                                "(default 0,0)",
                                IsOffset, "two numbers such as 1,1"),
         font::OptionSpec::Integer("--scale",
                                   "picture pixels a glyph pixel of a sheet, 1 to 32 "
                                   "(default 1)",
                                   1, 32),
         font::OptionSpec::Switch("--proportional",
                                  "each sheet glyph as wide as its ink plus one blank column; a "
                                  "blank cell becomes a space half a cell wide")},
        "--cell, --first, --per-row, --origin, --gap, --scale and --proportional are for image "
        "sheets"};
    return group;
}

font::SheetGrid GridOf(const font::OptionValues& values, const std::string& fileName) {
    font::SheetGrid grid;
    const auto cell = CellSize(*values.Text("--cell"));
    grid.cellWidth = static_cast<int>(cell->first);
    grid.cellHeight = static_cast<int>(cell->second);
    grid.proportional = values.Has("--proportional");
    if (!grid.proportional && grid.cellWidth > glyph::CellGrid::ColCount)
        throw font::Failure(fileName + ": cells " + std::to_string(grid.cellWidth) +
                            " columns wide make glyphs wider than 16; give --proportional to "
                            "take each glyph's width from its ink");
    if (const auto first = values.Text("--first")) grid.first = font::ParseCharRange(*first)->first;
    grid.perRow = values.Integer("--per-row").value_or(0);
    if (const auto origin = values.Text("--origin"))
        std::tie(grid.originX, grid.originY) = *Pair(*origin, ',', MaxOffset);
    if (const auto gap = values.Text("--gap"))
        std::tie(grid.gapX, grid.gapY) = *Pair(*gap, ',', MaxOffset);
    grid.scale = values.Integer("--scale").value_or(1);
    return grid;
}

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    if (!options.values.Has("--cell") || !font::IsPng(file.bytes)) return std::nullopt;
    if (!file.whole) throw font::Failure(file.name + ": a PNG larger than any sheet it reads");
    return font::ReadSheet(file.bytes, file.name, GridOf(options.values, file.name),
                           options.ranges);
}

}  // namespace

const font::FontFormat& SheetFormat() {
    static const font::FontFormat format{
        "sheet",
        "a picture of glyphs in fixed cells (PNG)",
        {".png"},
        font::FontReader{
            "a sheet of cells given by --cell",
            "a PNG of glyphs in a grid of fixed cells, with --cell WxH: read left to right and "
            "top to bottom from --first, ink being the darker colour (transparent is "
            "background); each glyph is a cell wide, or with --proportional as wide as its ink "
            "plus one blank column, a blank cell then a space of half a cell.",
            {&SheetOptions()},
            Read},
        std::nullopt};
    return format;
}

}  // namespace formats
