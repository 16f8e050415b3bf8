#include "formats/bdf/Bdf.h"

#include <algorithm>
#include <cstdio>

#include "font/Failure.h"
#include "font/NumberText.h"

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

// Adds the glyph's rows as BDF bitmap lines: whole bytes, leftmost pixel in
// the most significant bit.
void AppendBitmapRows(std::string& out, const Glyph& glyph) {
    const int bytes = (glyph.width + 7) / 8;
    for (int row = 0; row < Height; ++row) {
        // Bits past the width are clear; the row's 16 bits keep the leftmost high.
        const unsigned bits = glyph.rows[static_cast<std::size_t>(row)] >> (16 - bytes * 8);
        AppendHex(out, bits, bytes * 2);
        out += '\n';
    }
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
    // About 120 bytes a glyph of up to 8 columns, 134 of more.
    out.reserve(out.size() + font.glyphs.size() * 140 + 16);
    for (const Glyph& glyph : font.glyphs) {
        out += "STARTCHAR U+";
        AppendHex(out, glyph.codePoint, 4);
        out += "\nENCODING ";
        AppendDecimal(out, glyph.codePoint);
        // The scalable width: the advance in thousandths of the point size.
        const long swidth =
            (glyph.width * 1000L * 72 + PointSize * Resolution / 2) / (PointSize * Resolution);
        out += "\nSWIDTH ";
        AppendDecimal(out, swidth);
        out += " 0\nDWIDTH ";
        AppendDecimal(out, glyph.width);
        // A glyph without columns has no bitmap; any other covers the whole cell.
        if (glyph.width == 0) {
            out += " 0\nBBX 0 0 0 0\nBITMAP\n";
        } else {
            out += " 0\nBBX ";
            AppendDecimal(out, glyph.width);
            out += ' ';
            AppendDecimal(out, Height);
            out += " 0 ";
            AppendDecimal(out, -descent);
            out += "\nBITMAP\n";
            AppendBitmapRows(out, glyph);
        }
        out += "ENDCHAR\n";
    }
    out += "ENDFONT\n";
    return out;
}

}  // namespace font
