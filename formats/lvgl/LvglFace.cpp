#include "formats/lvgl/LvglFace.h"

#include <algorithm>

#include "font/Failure.h"
#include "font/InkRows.h"
#include "font/Unicode.h"

namespace font::lvgl {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
// No more pixels than this are decoded from one font, so that boxes of any
// size cannot make the reader work without end.
constexpr std::size_t MostPixels = std::size_t{1} << 24;

// A glyph's set pixels, by their column from the pen and their row from the
// baseline, counted downwards.
struct Inked {
    char32_t code;
    std::int64_t width;
    std::vector<std::pair<std::int64_t, std::int64_t>> pixels;
};

}  // namespace

ImportReport ImportFace(const Face& face, const std::string& fileName, const ReadOptions& options) {
    ImportReport report;
    report.source = face.source;
    if (face.kerning) report.warnings.push_back(fileName + ": its kerning is ignored");
    if (face.bpp > 1)
        report.warnings.push_back(fileName + ": " + std::to_string(face.bpp) +
                                  " bits a pixel; a pixel is set where its value is at least "
                                  "half the greatest");
    const auto mapped = MappedGlyphs(face.cmaps, face.glyphs.size(), fileName);
    const unsigned greatest = (1u << face.bpp) - 1;

    std::vector<Inked> inked;
    InkRows ink;
    std::size_t decoded = 0;
    for (const auto& [code, id] : mapped) {
        if (!Picks(options.ranges, code)) continue;
        if (!IsScalarValue(code)) {
            report.Skip(fileName, CodePointLabel(code) + " is not a Unicode character");
            continue;
        }
        const FaceGlyph& g = face.glyphs[id];
        // LVGL rounds the advance to whole pixels.
        Inked glyph{code, (g.advance + 8) >> 4, {}};
        if (glyph.width < 0 || glyph.width > glyph::CellGrid::ColCount) {
            report.Start(fileName, code, static_cast<long>(glyph.width));
            continue;
        }
        decoded += static_cast<std::size_t>(g.boxWidth * g.boxHeight);
        if (decoded > MostPixels)
            throw Failure(fileName + ": its glyph boxes hold more than " +
                          std::to_string(MostPixels) + " pixels");
        std::vector<std::uint8_t> values;
        try {
            values = DecodePixels(BitReader(face.bitmap, g.bitmapBit, g.bitmapEnd),
                                  static_cast<int>(g.boxWidth), static_cast<int>(g.boxHeight),
                                  face.bpp, face.bitmapFormat, face.stride);
        } catch (const BitReader::End&) {
            throw Failure(fileName + ": the bitmap of " + CodePointLabel(code) +
                          " runs past the end of the font's bitmaps");
        }
        const std::int64_t top = -(g.offsetY + g.boxHeight);
        for (std::int64_t row = 0; row < g.boxHeight; ++row)
            for (std::int64_t col = 0; col < g.boxWidth; ++col)
                if (2u * values[static_cast<std::size_t>(row * g.boxWidth + col)] >= greatest) {
                    glyph.pixels.emplace_back(g.offsetX + col, top + row);
                    ink.Add(static_cast<int>(top + row));
                }
        inked.push_back(std::move(glyph));
    }

    const std::int64_t ascent = face.lineHeight - face.baseLine;
    std::optional<int> topRow;
    if (const auto given = options.values.Integer("--ascent"))
        topRow = -*given;
    else
        topRow = TopRowFor(ink, static_cast<int>(std::clamp<std::int64_t>(-ascent, -4096, 4096)));
    if (!topRow || (options.values.Has("--ascent") && ink.Span() > Rows))
        throw Failure(fileName + ": its glyphs' ink spans " + std::to_string(ink.Span()) +
                      " rows, more than 7");

    for (Inked& glyph : inked) {
        std::optional<Glyph> cells =
            report.Start(fileName, glyph.code, static_cast<long>(glyph.width));
        if (!cells) continue;
        int dropped = 0;
        for (const auto& [col, row] : glyph.pixels) {
            const std::int64_t cellRow = row - *topRow;
            if (col < 0 || col >= glyph.width || cellRow < 0 || cellRow >= Rows ||
                !SetPixel(*cells, static_cast<int>(col), static_cast<int>(cellRow)))
                ++dropped;
        }
        report.Keep(fileName, std::move(*cells), dropped);
    }
    return report;
}

}  // namespace font::lvgl
