#include "formats/bdf/Bdf.h"

#include <algorithm>
#include <cstdio>

#include "font/Failure.h"
#include "font/NumberText.h"
#include "font/Unicode.h"

namespace font {
namespace {

constexpr int Height = glyph::CellGrid::RowCount;
// The size the X misc fonts of this height declare: 7 pixels, 7 points at 75 dpi.
constexpr int PointSize = 7;
constexpr int Resolution = 75;

std::string Line(const char* format, auto... values) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return std::string(buffer) + "\n";
}

// The glyph's rows as BDF bitmap lines: whole bytes, leftmost pixel in the
// most significant bit.
std::string BitmapRows(const Glyph& glyph) {
    std::string out;
    const int bytes = (glyph.width + 7) / 8;
    for (int row = 0; row < Height; ++row) {
        unsigned bits = 0;
        for (int col = 0; col < bytes * 8; ++col)
            bits = (bits << 1) | (col < glyph.width && glyph.Pixel(col, row) ? 1u : 0u);
        out += HexText(bits, bytes * 2) + "\n";
    }
    return out;
}

}  // namespace

std::string WriteBdf(const Font& font, std::string_view familyName, int ascent) {
    if (font.glyphs.empty()) throw Failure("no glyphs to export");
    const std::string family(familyName);
    const int descent = Height - ascent;
    int widest = 0;
    long widthSum = 0;
    for (const Glyph& glyph : font.glyphs) {
        widest = std::max(widest, glyph.width);
        widthSum += glyph.width;
    }
    const long averageWidth = (widthSum * 10 + static_cast<long>(font.glyphs.size()) / 2) /
                              static_cast<long>(font.glyphs.size());

    std::string out = "STARTFONT 2.1\n";
    out += "FONT -glyphtool-" + family +
           Line("-Medium-R-Normal--%d-%d-%d-%d-P-%ld-ISO10646-1", Height, PointSize * 10,
                Resolution, Resolution, averageWidth);
    out += Line("SIZE %d %d %d", PointSize, Resolution, Resolution);
    out += Line("FONTBOUNDINGBOX %d %d 0 %d", widest, Height, -descent);
    out += "STARTPROPERTIES 16\n";
    out += "FOUNDRY \"glyphtool\"\n";
    out += "FAMILY_NAME \"" + family + "\"\n";
    out += "WEIGHT_NAME \"Medium\"\nSLANT \"R\"\nSETWIDTH_NAME \"Normal\"\nADD_STYLE_NAME \"\"\n";
    out += Line("PIXEL_SIZE %d", Height);
    out += Line("POINT_SIZE %d", PointSize * 10);
    out += Line("RESOLUTION_X %d\nRESOLUTION_Y %d", Resolution, Resolution);
    out += "SPACING \"P\"\n";
    out += Line("AVERAGE_WIDTH %ld", averageWidth);
    out += "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n";
    out += Line("FONT_ASCENT %d\nFONT_DESCENT %d", ascent, descent);
    out += "ENDPROPERTIES\n";
    out += Line("CHARS %zu", font.glyphs.size());
    for (const Glyph& glyph : font.glyphs) {
        out += "STARTCHAR " + CodePointLabel(glyph.codePoint) + "\n";
        out += "ENCODING " + DecimalText(glyph.codePoint) + "\n";
        // The scalable width: the advance in thousandths of the point size.
        const long swidth =
            (glyph.width * 1000L * 72 + PointSize * Resolution / 2) / (PointSize * Resolution);
        out += "SWIDTH " + DecimalText(swidth) + " 0\nDWIDTH " + DecimalText(glyph.width) + " 0\n";
        // A glyph without columns has no bitmap; any other covers the whole cell.
        if (glyph.width == 0)
            out += "BBX 0 0 0 0\nBITMAP\n";
        else
            out += "BBX " + DecimalText(glyph.width) + " " + DecimalText(Height) + " 0 " +
                   DecimalText(-descent) + "\nBITMAP\n" + BitmapRows(glyph);
        out += "ENDCHAR\n";
    }
    out += "ENDFONT\n";
    return out;
}

}  // namespace font
