#include "font/NumberText.h"
#include "formats/yaff/Yaff.h"
#include "glyph/CellGrid.h"

namespace font {

std::string WriteYaff(const Font& font, const YaffHeader& header) {
    constexpr int Rows = glyph::CellGrid::RowCount;
    const int descent = Rows - header.ascent;
    std::string out = "yaff: 1.0\nname: " + header.name + "\nfamily: " + header.name +
                      "\nascent: " + std::to_string(header.ascent) +
                      "\ndescent: " + std::to_string(descent) +
                      "\nline-height: " + std::to_string(header.lineHeight) +
                      "\nencoding: unicode\nshift-up: " + std::to_string(-descent) + "\n";
    for (const Glyph& glyph : font.glyphs) {
        out += "\nu+" + HexText(glyph.codePoint, 4) + ":\n";
        if (glyph.width == 0) {
            out += "    -\n";
            continue;
        }
        for (int row = 0; row < Rows; ++row) {
            out += "    ";
            for (int col = 0; col < glyph.width; ++col) out += glyph.Pixel(col, row) ? '@' : '.';
            out += '\n';
        }
    }
    return out;
}

}  // namespace font
