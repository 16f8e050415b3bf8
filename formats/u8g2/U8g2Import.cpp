#include "formats/u8g2/U8g2Import.h"

#include <algorithm>
#include <climits>
#include <set>

#include "font/Failure.h"
#include "font/InkRows.h"
#include "font/Unicode.h"
#include "formats/u8g2/U8g2Decoder.h"

namespace font {
namespace {

// The font rows (downwards, the baseline row 0 below the ink) of a glyph's
// box row `boxRow`.
int FontRow(const U8g2Glyph& glyph, int boxRow) {
    return boxRow - glyph.y - glyph.h;
}

class Importer {
  public:
    Importer(std::span<const std::uint8_t> bytes, const std::string& fileName,
             const std::string& fontName, const U8g2ImportOptions& options)
        : bytes_(bytes), fileName_(fileName), fontName_(fontName), options_(options) {}

    ImportReport Run() {
        try {
            font_ = ParseU8g2Font(bytes_);
        } catch (const Failure& failure) {
            throw Failure(fileName_ + ": " + fontName_ + ": " + failure.what());
        }
        // First the glyphs that come in and the rows their ink takes, then
        // their pixels once the rows are placed.
        std::vector<std::pair<char32_t, U8g2Glyph>> glyphs;
        std::set<char32_t> seen;
        InkRows ink;
        for (const U8g2GlyphEntry& entry : font_.glyphs) {
            const char32_t cp = entry.code;
            if (!Picks(options_.ranges, cp)) continue;
            if (!IsScalarValue(cp)) {
                report_.Skip(fileName_, CodePointLabel(cp) + " is not a Unicode character");
                continue;
            }
            if (!seen.insert(cp).second) {
                report_.Skip(fileName_,
                             fontName_ + " holds a second glyph for " + DescribeCharacter(cp));
                continue;
            }
            U8g2Decoded decoded = DecodeU8g2Glyph(bytes_, font_.header, entry);
            if (!decoded.glyph) {
                report_.Skip(fileName_,
                             DescribeCharacter(cp) + " of " + fontName_ + ": " + decoded.problem);
                continue;
            }
            const U8g2Glyph& glyph = *decoded.glyph;
            if (glyph.dx < 0 || glyph.dx > glyph::CellGrid::ColCount) {
                report_.Start(fileName_, cp, glyph.dx);  // skips it, saying why
                continue;
            }
            for (const auto& [first, count] : glyph.ones) {
                ink.Add(FontRow(glyph, static_cast<int>(first / static_cast<unsigned>(glyph.w))));
                ink.Add(FontRow(
                    glyph, static_cast<int>((first + count - 1) / static_cast<unsigned>(glyph.w))));
            }
            glyphs.emplace_back(cp, std::move(*decoded.glyph));
        }

        const int declaredTop = -(font_.header.boundsHeight + font_.header.boundsY);
        std::optional<int> top = options_.ascent ? -*options_.ascent : TopRowFor(ink, declaredTop);
        if (!options_.ascent && !top)
            throw Failure(fileName_ + ": " + fontName_ + ": its glyphs' ink spans " +
                          std::to_string(ink.Span()) + " rows, more than 7");
        report_.source = "its u8g2 font " + fontName_ + " (ascent " + std::to_string(-*top) + ")";
        for (const auto& [cp, glyph] : glyphs) Place(cp, glyph, *top);
        return std::move(report_);
    }

  private:
    void Place(char32_t cp, const U8g2Glyph& glyph, int top) {
        std::optional<Glyph> cells = report_.Start(fileName_, cp, glyph.dx);
        if (!cells) return;
        // A run may cover thousands of pixels outside the cells: only the
        // rows of the cells are walked, and the rest counted as dropped.
        long dropped = 0;
        const auto w = static_cast<long>(glyph.w);
        for (const auto& [first, count] : glyph.ones) {
            long kept = 0;
            const long begin = first, end = static_cast<long>(first) + count;
            const long firstRow = std::max(begin / w, static_cast<long>(top + glyph.y + glyph.h));
            const long lastRow =
                std::min((end - 1) / w, static_cast<long>(top + glyph.y + glyph.h) +
                                            glyph::CellGrid::RowCount - 1);
            for (long boxRow = firstRow; boxRow <= lastRow; ++boxRow) {
                const long from = std::max(begin, boxRow * w), to = std::min(end, (boxRow + 1) * w);
                for (long at = std::max(from, boxRow * w - glyph.x);
                     at < to && at - boxRow * w + glyph.x < glyph::CellGrid::ColCount; ++at)
                    if (SetPixel(*cells, static_cast<int>(glyph.x + at - boxRow * w),
                                 FontRow(glyph, static_cast<int>(boxRow)) - top))
                        ++kept;
            }
            dropped += static_cast<long>(count) - kept;
        }
        report_.Keep(fileName_, std::move(*cells),
                     static_cast<int>(std::min<long>(dropped, INT_MAX)));
    }

    std::span<const std::uint8_t> bytes_;
    const std::string& fileName_;
    const std::string& fontName_;
    const U8g2ImportOptions& options_;
    U8g2Font font_;
    ImportReport report_;
};

}  // namespace

ImportReport ImportU8g2Font(std::span<const std::uint8_t> bytes, const std::string& fileName,
                            const std::string& fontName, const U8g2ImportOptions& options) {
    ImportReport report = Importer(bytes, fileName, fontName, options).Run();
    std::sort(report.font.glyphs.begin(), report.font.glyphs.end(),
              [](const Glyph& a, const Glyph& b) { return a.codePoint < b.codePoint; });
    return report;
}

}  // namespace font
