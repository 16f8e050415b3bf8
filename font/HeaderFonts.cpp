#include "font/HeaderFonts.h"

#include <algorithm>
#include <cstdint>
#include <regex>

#include "font/CDeclarations.h"
#include "font/Failure.h"
#include "font/Unicode.h"
#include "formats/csource/CSource.h"
#include "formats/csource/CValues.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;

struct FoundFont {
    enum class Kind { Gfx, Max72xx };
    Kind kind;
    const CDeclaration* declaration;
};

bool HasTypeWord(const CDeclaration& declaration, std::string_view word) {
    return std::any_of(declaration.typeWords.begin(), declaration.typeWords.end(),
                       [word](const std::string& w) {
                           return w == word || w.ends_with("::" + std::string(word));
                       });
}

std::vector<FoundFont> FindFonts(const CSource& source) {
    std::vector<FoundFont> fonts;
    for (const CDeclaration& d : source.declarations) {
        if (d.value.kind != CValue::Kind::List) continue;
        const auto& items = d.value.items;
        if (HasTypeWord(d, "GFXfont") && !d.isArray && items.size() >= 5)
            fonts.push_back({FoundFont::Kind::Gfx, &d});
        else if (d.isArray &&
                 (HasTypeWord(d, "fontType_t") ||
                  (!items.empty() && items[0].fromCharacter && items[0].number == 'F')))
            fonts.push_back({FoundFont::Kind::Max72xx, &d});
    }
    return fonts;
}

std::string Names(const std::vector<FoundFont>& fonts) {
    std::string names;
    for (const FoundFont& font : fonts)
        names += (names.empty() ? "" : ", ") + font.declaration->name;
    return names;
}

// A code of the font's table, which is at most 0xFFFF once it has been read.
std::string Code(std::int64_t code) {
    return CHex(static_cast<unsigned>(code), 2);
}

// The "ascent N" that export gfx writes into a header's opening comment.
std::optional<int> CommentAscent(const std::string& comment) {
    static const std::regex ascent("\\bascent ([0-7])\\b");
    std::smatch match;
    if (!std::regex_search(comment, match, ascent)) return std::nullopt;
    return match[1].str()[0] - '0';
}

class HeaderReader {
  public:
    HeaderReader(const CSource& source, const std::string& fileName,
                 const HeaderImportOptions& options)
        : source_(source), fileName_(fileName), options_(options) {}

    ImportReport Gfx(const CDeclaration& font) {
        const auto& items = font.value.items;
        const CDeclaration& bitmapTable = Table(items[0], font, "bitmap");
        const CDeclaration& glyphTable = Table(items[1], font, "glyph table");
        const std::int64_t first = Number(items[2], font.name + "'s first code", 0, 0xFFFF);
        const std::int64_t last = Number(items[3], font.name + "'s last code", first, 0xFFFF);
        const std::vector<std::int64_t> bitmap = Numbers(bitmapTable, 0, 255);

        const auto count = static_cast<std::size_t>(last - first + 1);
        const auto& entries = glyphTable.value.items;
        if (glyphTable.value.kind != CValue::Kind::List || entries.size() < count)
            Refuse(glyphTable.name + " holds " + std::to_string(entries.size()) +
                   " entries, fewer than the " + std::to_string(count) + " from " + Code(first) +
                   " to " + Code(last));
        struct Entry {
            std::int64_t offset, width, height, xAdvance, xOffset, yOffset;
        };
        std::vector<Entry> glyphs;
        int top = Rows, bottom = -Rows;
        bool inked = false;
        for (std::size_t i = 0; i < count; ++i) {
            const CValue& e = entries[i];
            const std::string what =
                "the entry of " + Code(first + static_cast<long>(i)) + " in " + glyphTable.name;
            if (e.kind != CValue::Kind::List || e.items.size() < 6)
                Refuse(what + " is not a GFXglyph");
            const Entry entry{
                Number(e.items[0], what, 0, 0xFFFF), Number(e.items[1], what, 0, 255),
                Number(e.items[2], what, 0, 255),    Number(e.items[3], what, 0, 255),
                Number(e.items[4], what, -128, 127), Number(e.items[5], what, -128, 127)};
            if (entry.width > 0 && entry.height > 0) {
                top = std::min<int>(top, static_cast<int>(entry.yOffset));
                bottom = std::max<int>(bottom, static_cast<int>(entry.yOffset + entry.height));
                inked = true;
            }
            glyphs.push_back(entry);
        }
        if (inked && bottom - top > Rows)
            Refuse(font.name + ": its glyphs span " + std::to_string(bottom - top) +
                   " rows from the highest top to the lowest bottom, more than 7");
        const int ascent = options_.ascent ? *options_.ascent
                           : CommentAscent(source_.firstComment)
                               ? *CommentAscent(source_.firstComment)
                           : inked ? -top
                                   : 6;

        report_.source = "its GFX font " + font.name + " (ascent " + std::to_string(ascent) + ")";
        for (std::size_t i = 0; i < count; ++i) {
            const Entry& e = glyphs[i];
            const auto cp = static_cast<char32_t>(first + static_cast<long>(i));
            if (e.width == 0 && e.height == 0 && e.xAdvance == 0 && e.xOffset == 0 &&
                e.yOffset == 0)
                continue;  // a code without a glyph
            if (!Picks(options_.ranges, cp)) continue;
            if (!IsScalarValue(cp)) {
                report_.Skip(fileName_, CodePointLabel(cp) + " is not a Unicode character");
                continue;
            }
            const std::int64_t bits = e.width * e.height;
            if (e.offset + (bits + 7) / 8 > static_cast<std::int64_t>(bitmap.size()))
                Refuse("the bitmap of " + Code(cp) + " runs past the end of " + bitmapTable.name);
            std::optional<Glyph> glyph = report_.Start(fileName_, cp, e.xAdvance);
            if (!glyph) continue;
            int dropped = 0;
            for (std::int64_t bit = 0; bit < bits; ++bit) {
                const auto byte = bitmap[static_cast<std::size_t>(e.offset + bit / 8)];
                if (((byte << (bit % 8)) & 0x80) == 0) continue;
                const auto col = static_cast<int>(e.xOffset + bit % e.width);
                const auto row = static_cast<int>(ascent + e.yOffset + bit / e.width);
                if (!SetPixel(*glyph, col, row)) ++dropped;
            }
            report_.Keep(fileName_, std::move(*glyph), dropped);
        }
        return std::move(report_);
    }

    ImportReport Max72xx(const CDeclaration& font) {
        const std::vector<std::int64_t> bytes = Numbers(font, 0, 255);
        const auto at = [&](std::size_t i) {
            if (i >= bytes.size()) Refuse(font.name + " ends inside its header");
            return bytes[i];
        };
        if (at(0) != 'F')
            Refuse(font.name + " does not start with 'F', as an MD_MAX72XX font does");
        const std::int64_t version = at(1);
        if (version != 1 && version != 2)
            Refuse(font.name + " is an MD_MAX72XX font of version " + std::to_string(version) +
                   ", which glyphtool does not know");
        std::size_t pos = version == 1 ? 5 : 7;
        const std::int64_t first = version == 1 ? at(2) : at(2) << 8 | at(3);
        const std::int64_t last = version == 1 ? at(3) : at(4) << 8 | at(5);
        if (last < first)
            Refuse(font.name + "'s last code " + Code(last) + " comes before its first");

        report_.source = "its MD_MAX72XX font " + font.name;
        for (std::int64_t code = first; code <= last; ++code) {
            if (pos >= bytes.size())
                Refuse(font.name + " ends at " + Code(code) + ", before its last code " +
                       Code(last));
            const auto width = static_cast<std::size_t>(bytes[pos++]);
            if (pos + width > bytes.size())
                Refuse(font.name + " ends inside the columns of " + Code(code));
            const std::size_t columns = pos;
            pos += width;
            const auto cp = static_cast<char32_t>(code);
            if (width == 0 || !Picks(options_.ranges, cp)) continue;
            if (!IsScalarValue(cp)) {
                report_.Skip(fileName_, CodePointLabel(cp) + " is not a Unicode character");
                continue;
            }
            std::optional<Glyph> glyph = report_.Start(fileName_, cp, static_cast<long>(width));
            if (!glyph) continue;
            int dropped = 0;
            for (std::size_t col = 0; col < width; ++col)
                for (int bit = 0; bit < 8; ++bit)
                    if ((bytes[columns + col] >> bit & 1) != 0 &&
                        !SetPixel(*glyph, static_cast<int>(col), bit))
                        ++dropped;
            report_.Keep(fileName_, std::move(*glyph), dropped);
        }
        return std::move(report_);
    }

  private:
    [[noreturn]] void Refuse(const std::string& what) const {
        throw Failure(fileName_ + ": " + what);
    }

    const CDeclaration& Table(const CValue& reference, const CDeclaration& font,
                              const char* what) const {
        if (reference.kind != CValue::Kind::Name) Refuse(font.name + " does not name its " + what);
        for (const CDeclaration& d : source_.declarations)
            if (d.name == reference.name) return d;
        std::string reason =
            font.name + "'s " + what + " " + reference.name + " is not in the file";
        if (!source_.problem.empty()) reason += " (" + source_.problem + ")";
        Refuse(reason);
    }

    std::int64_t Number(const CValue& value, const std::string& what, std::int64_t low,
                        std::int64_t high) const {
        return CNumber(value, fileName_, what, low, high);
    }

    std::vector<std::int64_t> Numbers(const CDeclaration& table, std::int64_t low,
                                      std::int64_t high) const {
        return CNumbers(table, fileName_, low, high);
    }

    const CSource& source_;
    std::string fileName_;
    const HeaderImportOptions& options_;
    ImportReport report_;
};

// Whether the text speaks of these fonts, so that a table it cannot read is
// worth a reason rather than "not a font".
bool MentionsFont(std::string_view text) {
    for (const std::string_view word :
         {"GFXfont", "GFXglyph", "Adafruit_GFX", "fontType_t", "MD_MAX72"})
        if (text.find(word) != std::string_view::npos) return true;
    return false;
}

}  // namespace

std::optional<ImportReport> ImportHeaderFont(std::string_view text, const std::string& fileName,
                                             const HeaderImportOptions& options) {
    CSource source;
    try {
        source = ReadCSource(text);
    } catch (const Failure& failure) {
        if (!MentionsFont(text)) return std::nullopt;
        throw Failure(fileName + ": " + failure.what());
    }
    std::vector<FoundFont> fonts = FindFonts(source);
    if (fonts.empty()) {
        if (MentionsFont(text) && !source.problem.empty())
            throw Failure(fileName + ": " + source.problem);
        return std::nullopt;
    }
    if (!options.fontName.empty()) {
        const auto chosen = std::find_if(fonts.begin(), fonts.end(), [&](const FoundFont& f) {
            return f.declaration->name == options.fontName;
        });
        if (chosen == fonts.end())
            throw Failure(fileName + ": holds no font " + options.fontName + "; it holds " +
                          Names(fonts));
        fonts = {*chosen};
    } else if (fonts.size() > 1) {
        throw Failure(fileName + ": holds " + std::to_string(fonts.size()) + " fonts (" +
                      Names(fonts) + "); --font NAME picks one");
    }
    HeaderReader reader(source, fileName, options);
    ImportReport report = fonts.front().kind == FoundFont::Kind::Gfx
                              ? reader.Gfx(*fonts.front().declaration)
                              : reader.Max72xx(*fonts.front().declaration);
    std::sort(report.font.glyphs.begin(), report.font.glyphs.end(),
              [](const Glyph& a, const Glyph& b) { return a.codePoint < b.codePoint; });
    return report;
}

}  // namespace font
