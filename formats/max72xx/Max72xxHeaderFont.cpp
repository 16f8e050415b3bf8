#include "formats/max72xx/Max72xxHeaderFont.h"

#include <algorithm>
#include <cstdint>

#include "font/InkRows.h"
#include "font/Unicode.h"

namespace formats {
namespace {

using font::TableCode;

// A glyph of an MD_MAX72XX table: its code, and where its columns start.
struct ColumnGlyph {
    std::int64_t code;
    std::size_t columns;
    std::size_t width;
};

// The entries of a table without the 'F' header, as the library reads one:
// for each code from 0 to 255 its width and as many columns. Nothing unless
// they end exactly with the table.
template <typename ByteAt>
std::optional<std::vector<ColumnGlyph>> HeaderlessGlyphs(std::size_t size, ByteAt byteAt) {
    std::vector<ColumnGlyph> glyphs;
    std::size_t pos = 0;
    for (std::int64_t code = 0; code < 256; ++code) {
        if (pos >= size) return std::nullopt;
        const std::size_t width = byteAt(pos);
        glyphs.push_back({code, pos + 1, width});
        pos += 1 + width;
    }
    if (pos != size) return std::nullopt;
    return glyphs;
}

bool DeclaresTable(const font::CDeclaration& d) {
    return d.isArray &&
           (font::HasTypeWord(d, "fontType_t") ||
            (d.value.Size() > 0 && d.value.Item(0).fromCharacter && d.value.Item(0).number == 'F'));
}

// Whether a table that names no font type is one without the 'F' header:
// bytes that make exactly 256 width-prefixed entries, some of them glyphs.
bool IsHeaderlessTable(const font::CDeclaration& d) {
    const font::CValue& list = d.value;
    if (!d.isArray || list.kind != font::CValue::Kind::List || list.Size() < 256 ||
        list.WholeItems() > 0)
        return false;
    std::vector<std::uint8_t> bytes(list.Size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::int64_t n = list.Item(i).number;
        if (n < 0 || n > 255) return false;
        bytes[i] = static_cast<std::uint8_t>(n);
    }
    const auto glyphs = HeaderlessGlyphs(bytes.size(), [&](std::size_t i) { return bytes[i]; });
    return glyphs && std::any_of(glyphs->begin(), glyphs->end(),
                                 [](const ColumnGlyph& g) { return g.width > 0; });
}

// The glyphs of a table that starts with the 'F' header.
std::vector<ColumnGlyph> HeaderedGlyphs(const font::HeaderTables& tables,
                                        const font::CDeclaration& font,
                                        const std::vector<std::uint8_t>& bytes) {
    const auto at = [&](std::size_t i) -> std::int64_t {
        if (i >= bytes.size()) tables.Refuse(font.name + " ends inside its header");
        return bytes[i];
    };
    const std::int64_t version = at(1);
    if (version != 1 && version != 2)
        tables.Refuse(font.name + " is an MD_MAX72XX font of version " + std::to_string(version) +
                      ", which glyphtool does not know");
    std::size_t pos = version == 1 ? 5 : 7;
    const std::int64_t first = version == 1 ? at(2) : at(2) << 8 | at(3);
    const std::int64_t last = version == 1 ? at(3) : at(4) << 8 | at(5);
    if (last < first)
        tables.Refuse(font.name + "'s last code " + TableCode(last) + " comes before its first");
    std::vector<ColumnGlyph> glyphs;
    for (std::int64_t code = first; code <= last; ++code) {
        if (pos >= bytes.size())
            tables.Refuse(font.name + " ends at " + TableCode(code) + ", before its last code " +
                          TableCode(last));
        const std::size_t width = bytes[pos++];
        if (pos + width > bytes.size())
            tables.Refuse(font.name + " ends inside the columns of " + TableCode(code));
        glyphs.push_back({code, pos, width});
        pos += width;
    }
    return glyphs;
}

font::ImportReport ReadTable(const font::HeaderTables& tables, const font::CDeclaration& font) {
    const std::string& fileName = tables.FileName();
    const std::vector<std::uint8_t> bytes = tables.Bytes(font);
    font::ImportReport report;
    std::vector<ColumnGlyph> glyphs;
    if (!bytes.empty() && bytes[0] == 'F') {
        glyphs = HeaderedGlyphs(tables, font, bytes);
        report.source = "its MD_MAX72XX font " + font.name;
    } else if (auto headerless =
                   HeaderlessGlyphs(bytes.size(), [&](std::size_t i) { return bytes[i]; })) {
        glyphs = std::move(*headerless);
        report.source = "its MD_MAX72XX font " + font.name + " (codes 0 to 255, no 'F' header)";
    } else {
        tables.Refuse(font.name +
                      " neither starts with 'F', as an MD_MAX72XX font does, nor holds the 256 "
                      "entries of codes 0 to 255 of one without it (" +
                      font::LineText(font.line) + ")");
    }
    font::InkRows ink;
    for (const ColumnGlyph& g : glyphs)
        for (std::size_t col = 0; col < g.width; ++col)
            for (int bit = 0; bit < 8; ++bit)
                if ((bytes[g.columns + col] >> bit & 1) != 0) ink.Add(bit);
    const int top = font::TopRowFor(ink, 0).value_or(0);
    if (top != 0)
        report.warnings.push_back(fileName + ": its ink lies in bits " + std::to_string(top) +
                                  " to " + std::to_string(ink.last) +
                                  " of its columns, which are read as rows 0 to " +
                                  std::to_string(ink.last - top));

    for (const ColumnGlyph& g : glyphs) {
        const auto cp = static_cast<char32_t>(g.code);
        if (g.width == 0 || !font::Picks(tables.Options().ranges, cp)) continue;
        if (!font::IsScalarValue(cp)) {
            report.Skip(fileName, font::CodePointLabel(cp) + " is not a Unicode character");
            continue;
        }
        std::optional<font::Glyph> glyph = report.Start(fileName, cp, static_cast<long>(g.width));
        if (!glyph) continue;
        int dropped = 0;
        for (std::size_t col = 0; col < g.width; ++col)
            for (int bit = 0; bit < 8; ++bit)
                if ((bytes[g.columns + col] >> bit & 1) != 0 &&
                    !font::SetPixel(*glyph, static_cast<int>(col), bit - top))
                    ++dropped;
        report.Keep(fileName, std::move(*glyph), dropped);
    }
    return report;
}

}  // namespace

const HeaderFontKind& Max72xxHeaderFont() {
    static const HeaderFontKind kind{
        {"fontType_t", "MD_MAX72"}, DeclaresTable, IsHeaderlessTable, ReadTable};
    return kind;
}

}  // namespace formats
