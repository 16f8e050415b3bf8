#include "formats/gfx/GfxHeaderFont.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <regex>

#include "font/InkRows.h"
#include "font/Unicode.h"

namespace formats {
namespace {

using font::TableCode;

constexpr int Rows = glyph::CellGrid::RowCount;

// The "ascent N" that export gfx writes into a header's opening comment.
std::optional<int> CommentAscent(const std::string& comment) {
    static const std::regex ascent("\\bascent ([0-7])\\b");
    std::smatch match;
    if (!std::regex_search(comment, match, ascent)) return std::nullopt;
    return match[1].str()[0] - '0';
}

// The bits of a GFX bitmap, the most significant bit of each byte first,
// with the count of set bits before each byte, so that a glyph's box is
// measured in time independent of its size.
class BitmapBits {
  public:
    explicit BitmapBits(const std::vector<std::uint8_t>& bytes)
        : bytes_(bytes), onesBefore_(bytes.size() + 1, 0) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            onesBefore_[i + 1] =
                onesBefore_[i] + static_cast<std::uint32_t>(std::popcount(bytes[i]));
    }

    bool At(std::size_t bit) const { return ((bytes_[bit / 8] << (bit % 8)) & 0x80) != 0; }

    // How many bits of [begin, end) are set.
    std::int64_t Count(std::size_t begin, std::size_t end) const {
        std::int64_t count = 0;
        for (; begin < end && begin % 8 != 0; ++begin) count += At(begin) ? 1 : 0;
        for (; end > begin && end % 8 != 0; --end) count += At(end - 1) ? 1 : 0;
        return count + onesBefore_[end / 8] - onesBefore_[begin / 8];
    }

    // The first and last set bit of [begin, end); nothing when none is set.
    std::optional<std::pair<std::size_t, std::size_t>> SetRange(std::size_t begin,
                                                                std::size_t end) const {
        if (Count(begin, end) == 0) return std::nullopt;
        std::size_t low = begin, high = end - 1;  // the first is the least f with ink in [begin, f]
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (Count(begin, middle + 1) > 0)
                high = middle;
            else
                low = middle + 1;
        }
        const std::size_t first = low;
        low = first, high = end - 1;  // the last is the greatest l with ink in [l, end)
        while (low < high) {
            const std::size_t middle = low + (high - low + 1) / 2;
            if (Count(middle, end) > 0)
                low = middle;
            else
                high = middle - 1;
        }
        return std::make_pair(first, low);
    }

  private:
    const std::vector<std::uint8_t>& bytes_;
    std::vector<std::uint32_t> onesBefore_;
};

// A GFXglyph entry.
struct Entry {
    std::int64_t offset, width, height, xAdvance, xOffset, yOffset;
    bool fits;  // whether its bitmap lies within the table
};

// The ascent a GFX font is read with: the one given; else the one of the
// opening comment, or the highest top of the glyphs' boxes, unless that
// cuts the ink and another placement keeps it whole.
int Ascent(const font::HeaderTables& tables, const font::InkRows& ink, int boxTop,
           font::ImportReport& report) {
    if (tables.Options().ascent) return *tables.Options().ascent;
    const std::optional<int> said = CommentAscent(tables.Source().firstComment);
    const int declaredTop = said ? -*said : ink.Empty() ? -6 : boxTop;
    const int top = font::TopRowFor(ink, declaredTop).value_or(declaredTop);
    if (said && top != declaredTop)
        report.warnings.push_back(tables.FileName() + ": the ascent " + std::to_string(*said) +
                                  " of its opening comment would cut its glyphs; read with "
                                  "ascent " +
                                  std::to_string(-top));
    return -top;
}

bool DeclaresGfxFont(const font::CDeclaration& declaration) {
    return font::HasTypeWord(declaration, "GFXfont") && !declaration.isArray;
}

font::ImportReport ReadGfxFont(const font::HeaderTables& tables, const font::CDeclaration& font) {
    const std::string& fileName = tables.FileName();
    const font::CValue& value = font.value;
    if (value.Size() < 5)
        tables.Refuse(font::LineText(font.line) + ": the GFXfont " + font.name + " holds " +
                      std::to_string(value.Size()) + (value.Size() == 1 ? " item" : " items") +
                      ", not the 5 of its bitmap, glyphs, first and last code and line height");
    const font::CDeclaration& bitmapTable = tables.Table(value.Item(0), font, "bitmap");
    const font::CDeclaration& glyphTable = tables.Table(value.Item(1), font, "glyph table");
    const std::int64_t first = tables.Number(value.Item(2), font.name + "'s first code", 0, 0xFFFF);
    const std::int64_t last =
        tables.Number(value.Item(3), font.name + "'s last code", first, 0xFFFF);
    const std::vector<std::uint8_t> bitmap = tables.Bytes(bitmapTable);
    const BitmapBits bits(bitmap);

    const auto count = static_cast<std::size_t>(last - first + 1);
    const font::CValue& entries = glyphTable.value;
    if (entries.kind != font::CValue::Kind::List || entries.Size() < count)
        tables.Refuse(glyphTable.name + " holds " + std::to_string(entries.Size()) +
                      " entries, fewer than the " + std::to_string(count) + " from " +
                      TableCode(first) + " to " + TableCode(last));
    std::vector<Entry> glyphs;
    int boxTop = Rows;
    font::InkRows ink;
    for (std::size_t i = 0; i < count; ++i) {
        const font::CValue e = entries.Item(i);
        const std::string what =
            "the entry of " + TableCode(first + static_cast<long>(i)) + " in " + glyphTable.name;
        if (e.kind != font::CValue::Kind::List || e.Size() < 6)
            tables.Refuse(what + " is not a GFXglyph");
        Entry entry{tables.Number(e.Item(0), what, 0, 0xFFFF),
                    tables.Number(e.Item(1), what, 0, 255),
                    tables.Number(e.Item(2), what, 0, 255),
                    tables.Number(e.Item(3), what, 0, 255),
                    tables.Number(e.Item(4), what, -128, 127),
                    tables.Number(e.Item(5), what, -128, 127),
                    false};
        const std::int64_t size = entry.width * entry.height;
        entry.fits = entry.offset + (size + 7) / 8 <= static_cast<std::int64_t>(bitmap.size());
        if (entry.width > 0 && entry.height > 0) {
            boxTop = std::min(boxTop, static_cast<int>(entry.yOffset));
            const auto begin = static_cast<std::size_t>(entry.offset * 8);
            if (entry.fits)
                if (const auto set = bits.SetRange(begin, begin + static_cast<std::size_t>(size))) {
                    const auto width = static_cast<std::size_t>(entry.width);
                    ink.Add(static_cast<int>(entry.yOffset) +
                            static_cast<int>((set->first - begin) / width));
                    ink.Add(static_cast<int>(entry.yOffset) +
                            static_cast<int>((set->second - begin) / width));
                }
        }
        glyphs.push_back(entry);
    }
    if (ink.Span() > Rows)
        tables.Refuse(font.name + ": its glyphs span " + std::to_string(ink.Span()) +
                      " rows from the highest inked row to the lowest, more than 7");
    font::ImportReport report;
    const int ascent = Ascent(tables, ink, boxTop, report);

    report.source = "its GFX font " + font.name + " (ascent " + std::to_string(ascent) + ")";
    for (std::size_t i = 0; i < count; ++i) {
        const Entry& e = glyphs[i];
        const auto cp = static_cast<char32_t>(first + static_cast<long>(i));
        if (e.width == 0 && e.height == 0 && e.xAdvance == 0 && e.xOffset == 0 && e.yOffset == 0)
            continue;  // a code without a glyph
        if (!font::Picks(tables.Options().ranges, cp)) continue;
        if (!font::IsScalarValue(cp)) {
            report.Skip(fileName, font::CodePointLabel(cp) + " is not a Unicode character");
            continue;
        }
        if (!e.fits)
            tables.Refuse("the bitmap of " + TableCode(cp) + " runs past the end of " +
                          bitmapTable.name);
        std::optional<font::Glyph> glyph = report.Start(fileName, cp, e.xAdvance);
        if (!glyph) continue;
        // Only the bits that can land in a cell are walked; the rest are counted.
        const auto begin = static_cast<std::size_t>(e.offset * 8);
        std::int64_t landed = 0;
        for (int row = 0; row < Rows; ++row)
            for (int col = 0; col < glyph->width; ++col) {
                const std::int64_t x = col - e.xOffset, y = row - ascent - e.yOffset;
                if (x < 0 || x >= e.width || y < 0 || y >= e.height) continue;
                if (bits.At(begin + static_cast<std::size_t>(y * e.width + x)))
                    landed += font::SetPixel(*glyph, col, row) ? 1 : 0;
            }
        const std::int64_t all =
            bits.Count(begin, begin + static_cast<std::size_t>(e.width * e.height));
        report.Keep(fileName, std::move(*glyph), static_cast<int>(all - landed));
    }
    return report;
}

}  // namespace

const HeaderFontKind& GfxHeaderFont() {
    static const HeaderFontKind kind{
        {"GFXfont", "GFXglyph", "Adafruit_GFX"}, DeclaresGfxFont, nullptr, ReadGfxFont};
    return kind;
}

}  // namespace formats
