#include "font/ImportReport.h"

#include "font/Unicode.h"

namespace font {

void ImportReport::Skip(const std::string& fontName, const std::string& what) {
    warnings.push_back(fontName + ": " + what + "; skipped");
    ++skipped;
}

std::optional<Glyph> ImportReport::Start(const std::string& fontName, char32_t cp, long width) {
    if (width < 0 || width > glyph::CellGrid::ColCount) {
        Skip(fontName,
             DescribeCharacter(cp) + " is " + std::to_string(width) + " columns wide, not 0 to 16");
        return std::nullopt;
    }
    return BlankGlyph(cp, static_cast<int>(width));
}

void ImportReport::Keep(const std::string& fontName, Glyph glyph, std::int64_t dropped) {
    if (dropped > 0) {
        warnings.push_back(fontName + ": " + DescribeCharacter(glyph.codePoint) + " loses " +
                           std::to_string(dropped) + (dropped == 1 ? " pixel" : " pixels") +
                           " outside the 16 x 7 cells or beyond its width " +
                           std::to_string(glyph.width));
        ++clipped;
    }
    font.glyphs.push_back(std::move(glyph));
}

bool SetPixel(Glyph& glyph, int col, int row) {
    if (col < 0 || col >= glyph.width || row < 0 || row >= glyph::CellGrid::RowCount) return false;
    glyph.rows[static_cast<std::size_t>(row)] |= static_cast<std::uint16_t>(0x8000u >> col);
    return true;
}

}  // namespace font
