#include "formats/columns/ColumnGlyphs.h"

#include "font/Failure.h"
#include "font/InkRows.h"
#include "font/Unicode.h"
#include "formats/csource/CSource.h"

namespace font {

ImportReport ImportColumnGlyphs(const std::vector<ColumnGlyph>& glyphs, const ColumnLayout& layout,
                                const std::string& fileName, const std::vector<CharRange>& ranges,
                                std::string source) {
    InkRows ink;
    for (const ColumnGlyph& g : glyphs) {
        if (!Picks(ranges, g.codePoint)) continue;
        for (const std::uint8_t column : g.columns)
            for (int bit = layout.firstBit; bit < 8; ++bit)
                if ((column >> bit & 1) != 0) ink.Add(bit - layout.firstBit);
    }
    int top = 0;
    if (const auto placed = TopRowFor(ink, 0))
        top = *placed;
    else if (!layout.clipTallInk)
        throw Failure(fileName + ": its glyphs' ink spans " + std::to_string(ink.Span()) +
                      " rows, more than 7");

    ImportReport report;
    report.source = std::move(source);
    for (const ColumnGlyph& g : glyphs) {
        if (!Picks(ranges, g.codePoint)) continue;
        if (!IsScalarValue(g.codePoint)) {
            report.Skip(fileName, CodePointLabel(g.codePoint) + " is not a Unicode character");
            continue;
        }
        std::optional<Glyph> glyph =
            report.Start(fileName, g.codePoint, static_cast<long>(g.columns.size()));
        if (!glyph) continue;
        int dropped = 0;
        for (std::size_t col = 0; col < g.columns.size(); ++col)
            for (int bit = layout.firstBit; bit < 8; ++bit)
                if ((g.columns[col] >> bit & 1) != 0 &&
                    !SetPixel(*glyph, static_cast<int>(col), bit - layout.firstBit - top))
                    ++dropped;
        report.Keep(fileName, std::move(*glyph), dropped);
    }
    return report;
}

std::vector<std::uint8_t> ShiftedColumns(const Glyph& glyph, int firstBit) {
    std::vector<std::uint8_t> columns = ColumnBytes(glyph);
    for (std::uint8_t& column : columns) column = static_cast<std::uint8_t>(column << firstBit);
    return columns;
}

}  // namespace font
