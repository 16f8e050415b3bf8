#include "formats/csource/HeaderFonts.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <regex>

#include "font/Failure.h"
#include "font/InkRows.h"
#include "font/Unicode.h"
#include "formats/csource/CDeclarations.h"
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

// Whether a table that names no font type is one without the 'F' header:
// bytes that make exactly 256 width-prefixed entries, some of them glyphs.
bool IsHeaderlessTable(const CDeclaration& d) {
    const CValue& list = d.value;
    if (!d.isArray || list.kind != CValue::Kind::List || list.Size() < 256 || list.WholeItems() > 0)
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

std::vector<FoundFont> FindFonts(const CSource& source) {
    std::vector<FoundFont> fonts;
    for (const CDeclaration& d : source.declarations) {
        if (d.value.kind != CValue::Kind::List) continue;
        if (HasTypeWord(d, "GFXfont") && !d.isArray)
            fonts.push_back({FoundFont::Kind::Gfx, &d});
        else if (d.isArray && (HasTypeWord(d, "fontType_t") ||
                               (d.value.Size() > 0 && d.value.Item(0).fromCharacter &&
                                d.value.Item(0).number == 'F')))
            fonts.push_back({FoundFont::Kind::Max72xx, &d});
    }
    if (!fonts.empty()) return fonts;
    for (const CDeclaration& d : source.declarations)
        if (IsHeaderlessTable(d)) fonts.push_back({FoundFont::Kind::Max72xx, &d});
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

std::string Line(int line) {
    return "line " + std::to_string(line);
}

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

class HeaderReader {
  public:
    HeaderReader(const CSource& source, const std::string& fileName,
                 const HeaderImportOptions& options)
        : source_(source), fileName_(fileName), options_(options) {}

    ImportReport Gfx(const CDeclaration& font) {
        const CValue& value = font.value;
        if (value.Size() < 5)
            Refuse(Line(font.line) + ": the GFXfont " + font.name + " holds " +
                   std::to_string(value.Size()) + (value.Size() == 1 ? " item" : " items") +
                   ", not the 5 of its bitmap, glyphs, first and last code and line height");
        const CDeclaration& bitmapTable = Table(value.Item(0), font, "bitmap");
        const CDeclaration& glyphTable = Table(value.Item(1), font, "glyph table");
        const std::int64_t first = Number(value.Item(2), font.name + "'s first code", 0, 0xFFFF);
        const std::int64_t last = Number(value.Item(3), font.name + "'s last code", first, 0xFFFF);
        const std::vector<std::uint8_t> bitmap = Bytes(bitmapTable);
        const BitmapBits bits(bitmap);

        const auto count = static_cast<std::size_t>(last - first + 1);
        const CValue& entries = glyphTable.value;
        if (entries.kind != CValue::Kind::List || entries.Size() < count)
            Refuse(glyphTable.name + " holds " + std::to_string(entries.Size()) +
                   " entries, fewer than the " + std::to_string(count) + " from " + Code(first) +
                   " to " + Code(last));
        struct Entry {
            std::int64_t offset, width, height, xAdvance, xOffset, yOffset;
            bool fits;  // whether its bitmap lies within the table
        };
        std::vector<Entry> glyphs;
        int boxTop = Rows;
        InkRows ink;
        for (std::size_t i = 0; i < count; ++i) {
            const CValue e = entries.Item(i);
            const std::string what =
                "the entry of " + Code(first + static_cast<long>(i)) + " in " + glyphTable.name;
            if (e.kind != CValue::Kind::List || e.Size() < 6) Refuse(what + " is not a GFXglyph");
            Entry entry{Number(e.Item(0), what, 0, 0xFFFF),
                        Number(e.Item(1), what, 0, 255),
                        Number(e.Item(2), what, 0, 255),
                        Number(e.Item(3), what, 0, 255),
                        Number(e.Item(4), what, -128, 127),
                        Number(e.Item(5), what, -128, 127),
                        false};
            const std::int64_t size = entry.width * entry.height;
            entry.fits = entry.offset + (size + 7) / 8 <= static_cast<std::int64_t>(bitmap.size());
            if (entry.width > 0 && entry.height > 0) {
                boxTop = std::min(boxTop, static_cast<int>(entry.yOffset));
                const auto begin = static_cast<std::size_t>(entry.offset * 8);
                if (entry.fits)
                    if (const auto set =
                            bits.SetRange(begin, begin + static_cast<std::size_t>(size))) {
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
            Refuse(font.name + ": its glyphs span " + std::to_string(ink.Span()) +
                   " rows from the highest inked row to the lowest, more than 7");
        const int ascent = Ascent(ink, boxTop);

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
            if (!e.fits)
                Refuse("the bitmap of " + Code(cp) + " runs past the end of " + bitmapTable.name);
            std::optional<Glyph> glyph = report_.Start(fileName_, cp, e.xAdvance);
            if (!glyph) continue;
            // Only the bits that can land in a cell are walked; the rest are counted.
            const auto begin = static_cast<std::size_t>(e.offset * 8);
            std::int64_t landed = 0;
            for (int row = 0; row < Rows; ++row)
                for (int col = 0; col < glyph->width; ++col) {
                    const std::int64_t x = col - e.xOffset, y = row - ascent - e.yOffset;
                    if (x < 0 || x >= e.width || y < 0 || y >= e.height) continue;
                    if (bits.At(begin + static_cast<std::size_t>(y * e.width + x)))
                        landed += SetPixel(*glyph, col, row) ? 1 : 0;
                }
            const std::int64_t all =
                bits.Count(begin, begin + static_cast<std::size_t>(e.width * e.height));
            report_.Keep(fileName_, std::move(*glyph), static_cast<int>(all - landed));
        }
        return std::move(report_);
    }

    ImportReport Max72xx(const CDeclaration& font) {
        const std::vector<std::uint8_t> bytes = Bytes(font);
        std::vector<ColumnGlyph> glyphs;
        if (!bytes.empty() && bytes[0] == 'F') {
            glyphs = HeaderedGlyphs(font, bytes);
            report_.source = "its MD_MAX72XX font " + font.name;
        } else if (auto headerless =
                       HeaderlessGlyphs(bytes.size(), [&](std::size_t i) { return bytes[i]; })) {
            glyphs = std::move(*headerless);
            report_.source =
                "its MD_MAX72XX font " + font.name + " (codes 0 to 255, no 'F' header)";
        } else {
            Refuse(font.name +
                   " neither starts with 'F', as an MD_MAX72XX font does, nor holds the 256 "
                   "entries of codes 0 to 255 of one without it (" +
                   Line(font.line) + ")");
        }
        InkRows ink;
        for (const ColumnGlyph& g : glyphs)
            for (std::size_t col = 0; col < g.width; ++col)
                for (int bit = 0; bit < 8; ++bit)
                    if ((bytes[g.columns + col] >> bit & 1) != 0) ink.Add(bit);
        const int top = TopRowFor(ink, 0).value_or(0);
        if (top != 0)
            report_.warnings.push_back(fileName_ + ": its ink lies in bits " + std::to_string(top) +
                                       " to " + std::to_string(ink.last) +
                                       " of its columns, which are read as rows 0 to " +
                                       std::to_string(ink.last - top));

        for (const ColumnGlyph& g : glyphs) {
            const auto cp = static_cast<char32_t>(g.code);
            if (g.width == 0 || !Picks(options_.ranges, cp)) continue;
            if (!IsScalarValue(cp)) {
                report_.Skip(fileName_, CodePointLabel(cp) + " is not a Unicode character");
                continue;
            }
            std::optional<Glyph> glyph = report_.Start(fileName_, cp, static_cast<long>(g.width));
            if (!glyph) continue;
            int dropped = 0;
            for (std::size_t col = 0; col < g.width; ++col)
                for (int bit = 0; bit < 8; ++bit)
                    if ((bytes[g.columns + col] >> bit & 1) != 0 &&
                        !SetPixel(*glyph, static_cast<int>(col), bit - top))
                        ++dropped;
            report_.Keep(fileName_, std::move(*glyph), dropped);
        }
        return std::move(report_);
    }

  private:
    [[noreturn]] void Refuse(const std::string& what) const {
        throw Failure(fileName_ + ": " + what);
    }

    // The ascent a GFX font is read with: the one given; else the one of the
    // opening comment, or the highest top of the glyphs' boxes, unless that
    // cuts the ink and another placement keeps it whole.
    int Ascent(const InkRows& ink, int boxTop) {
        if (options_.ascent) return *options_.ascent;
        const std::optional<int> said = CommentAscent(source_.firstComment);
        const int declaredTop = said ? -*said : ink.Empty() ? -6 : boxTop;
        const int top = TopRowFor(ink, declaredTop).value_or(declaredTop);
        if (said && top != declaredTop)
            report_.warnings.push_back(fileName_ + ": the ascent " + std::to_string(*said) +
                                       " of its opening comment would cut its glyphs; read "
                                       "with ascent " +
                                       std::to_string(-top));
        return -top;
    }

    // The glyphs of a table that starts with the 'F' header.
    std::vector<ColumnGlyph> HeaderedGlyphs(const CDeclaration& font,
                                            const std::vector<std::uint8_t>& bytes) const {
        const auto at = [&](std::size_t i) -> std::int64_t {
            if (i >= bytes.size()) Refuse(font.name + " ends inside its header");
            return bytes[i];
        };
        const std::int64_t version = at(1);
        if (version != 1 && version != 2)
            Refuse(font.name + " is an MD_MAX72XX font of version " + std::to_string(version) +
                   ", which glyphtool does not know");
        std::size_t pos = version == 1 ? 5 : 7;
        const std::int64_t first = version == 1 ? at(2) : at(2) << 8 | at(3);
        const std::int64_t last = version == 1 ? at(3) : at(4) << 8 | at(5);
        if (last < first)
            Refuse(font.name + "'s last code " + Code(last) + " comes before its first");
        std::vector<ColumnGlyph> glyphs;
        for (std::int64_t code = first; code <= last; ++code) {
            if (pos >= bytes.size())
                Refuse(font.name + " ends at " + Code(code) + ", before its last code " +
                       Code(last));
            const std::size_t width = bytes[pos++];
            if (pos + width > bytes.size())
                Refuse(font.name + " ends inside the columns of " + Code(code));
            glyphs.push_back({code, pos, width});
            pos += width;
        }
        return glyphs;
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
        return NumberIn(value, fileName_, what, low, high);
    }

    std::vector<std::uint8_t> Bytes(const CDeclaration& table) const {
        if (table.value.kind != CValue::Kind::List) Refuse(table.name + " is not a table");
        std::vector<std::uint8_t> bytes(table.value.Size());
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(Number(table.value.Item(i), table.name, 0, 255));
        return bytes;
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
        source = ReadCSource(text, options.defines);
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
