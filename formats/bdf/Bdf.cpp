#include "formats/bdf/Bdf.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

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

// A glyph's text, made in one buffer and added at once: a font's glyphs
// are most of its file.
class GlyphText {
  public:
    void Put(std::string_view text) {
        std::memcpy(end_, text.data(), text.size());
        end_ += text.size();
    }
    void Decimal(long value) { end_ = std::to_chars(end_, Last(), value).ptr; }
    // `value` in upper-case hexadecimal, `digits` digits.
    void Hex(unsigned long value, int digits) {
        for (int d = digits - 1; d >= 0; --d) *end_++ = HexDigits[(value >> (4 * d)) & 0xF];
    }
    std::string_view Text() const { return {buffer_, static_cast<std::size_t>(end_ - buffer_)}; }

  private:
    char* Last() { return buffer_ + sizeof buffer_; }
    // The longest glyph: its keywords, numbers of at most 11 characters, and
    // 7 rows of 4 digits.
    char buffer_[256];
    char* end_ = buffer_;
};

void AppendGlyph(TextOut& out, const Glyph& glyph, int descent) {
    GlyphText text;
    text.Put("STARTCHAR U+");
    // At least 4 digits, as U+XXXX labels have them.
    int digits = 4;
    while (digits < 8 && (glyph.codePoint >> (4 * digits)) != 0) ++digits;
    text.Hex(glyph.codePoint, digits);
    text.Put("\nENCODING ");
    text.Decimal(glyph.codePoint);
    // The scalable width: the advance in thousandths of the point size.
    const long swidth =
        (glyph.width * 1000L * 72 + PointSize * Resolution / 2) / (PointSize * Resolution);
    text.Put("\nSWIDTH ");
    text.Decimal(swidth);
    text.Put(" 0\nDWIDTH ");
    text.Decimal(glyph.width);
    // A glyph without columns has no bitmap; any other covers the whole cell.
    if (glyph.width == 0) {
        text.Put(" 0\nBBX 0 0 0 0\nBITMAP\n");
    } else {
        text.Put(" 0\nBBX ");
        text.Decimal(glyph.width);
        text.Put(" ");
        text.Decimal(Height);
        text.Put(" 0 ");
        text.Decimal(-descent);
        text.Put("\nBITMAP\n");
        // Whole bytes, leftmost pixel in the most significant bit; bits past
        // the width are clear, and the row's 16 bits keep the leftmost high.
        const int bytes = (glyph.width + 7) / 8;
        for (int row = 0; row < Height; ++row) {
            text.Hex(glyph.rows[static_cast<std::size_t>(row)] >> (16 - bytes * 8), bytes * 2);
            text.Put("\n");
        }
    }
    text.Put("ENDCHAR\n");
    out += text.Text();
}

}  // namespace

void WriteBdf(const Font& font, std::string_view familyName, int ascent, TextOut& out) {
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

    out += "STARTFONT 2.1\n";
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
        AppendGlyph(out, glyph, descent);
        out.Spill();
    }
    out += "ENDFONT\n";
}

}  // namespace font
