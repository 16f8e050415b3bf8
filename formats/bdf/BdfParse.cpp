#include "formats/bdf/BdfParse.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "formats/bdf/BdfRow.h"
#include "formats/bdf/BdfWords.h"
#include "formats/bitmapimport/BdfBoxes.h"

namespace font {
namespace {

// Bounds on the numbers taken: far beyond any font of 7-row glyphs, and small
// enough that none of FreeType's 16-bit sums and clamps come into play.
constexpr int MetricDigits = 4;         // offsets, ascents and advances up to 9999
constexpr int CodeDigits = 9;           // ENCODING values
constexpr std::size_t MaxLine = 32768;  // FreeType refuses lines of 64 KiB
constexpr long MaxProperties = 4096;
constexpr std::size_t MaxFontName = 200;  // FreeType refuses names of 256 bytes
constexpr long MaxCodes = 0x110000;
constexpr std::size_t MinGlyphBytes = 40;  // STARTCHAR to ENDCHAR with one-letter words

// Which lines it declines, each a form where FreeType's reading would differ
// from a plain one, or where FreeType refuses the font:
// - a NUL byte (FreeType's lines end there) or a CR not before LF (FreeType
//   ends a line there, the BDF checks before it do not);
// - a header other than FONT, SIZE, FONTBOUNDINGBOX in that order, then
//   STARTPROPERTIES or CHARS; SIZE of 2, 4 or 8 bits a pixel (grey);
// - a keyword line with a tab or a trailing space (FreeType splits at
//   spaces alone and reads a trailing one as an empty word), numbers in
//   another form than plain digits, or of more digits than the bounds above;
// - FONT_ASCENT, FONT_DESCENT or a CHARSET property given twice (FreeType
//   keeps the first of some, the last of others), or a property named like
//   a glyph keyword (the checks before FreeType read those too);
// - a glyph whose lines are not STARTCHAR, ENCODING, SWIDTH, DWIDTH and BBX
//   once each, BITMAP, its rows in hex and ENDCHAR; anything but blanks after
//   ENDFONT, or no ENDFONT on a line of its own;
// - two glyphs of one code (which FreeType's map reaches depends on its sort).
class Parser {
  public:
    Parser(std::string_view text, const std::string& fileName) : text_(text), budget_(fileName) {}

    BdfFont Run() {
        CheckBytes();
        std::string_view line;
        while (NextLine(line) && !BdfWords::After(line, "STARTFONT")) {
        }
        ReadHeader();
        ReadGlyphs();
        Finish();
        return std::move(font_);
    }

  private:
    [[noreturn]] void Unsure(const std::string& what) const {
        throw UnsureBdf(what + " on line " + std::to_string(lineNumber_));
    }

    void CheckBytes() const {
        if (std::memchr(text_.data(), 0, text_.size()) != nullptr) throw UnsureBdf("a NUL byte");
        for (std::size_t at = text_.find('\r'); at != std::string_view::npos;
             at = text_.find('\r', at + 1))
            if (at + 1 == text_.size() || text_[at + 1] != '\n')
                throw UnsureBdf("a CR that ends no line");
    }

    // The next line ended by LF, without its CR; false at the end, where a
    // last line without LF is not one (FreeType ignores it).
    bool NextLine(std::string_view& line) {
        const void* end = std::memchr(text_.data() + at_, '\n', text_.size() - at_);
        if (end == nullptr) return false;
        const std::size_t stop =
            static_cast<std::size_t>(static_cast<const char*>(end) - text_.data());
        line = text_.substr(at_, stop - at_);
        at_ = stop + 1;
        ++lineNumber_;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.size() > MaxLine) Unsure("a line of more than 32 KiB");
        return true;
    }

    // The next line when it holds hex digits alone and ends in LF, the most
    // of a font's lines, taken in one look at each byte.
    bool TakeHexLine(std::string_view& line) {
        const std::string_view rest = text_.substr(at_);
        if (rest.size() > 2 && rest[2] == '\n' && IsHexDigit(rest[0]) && IsHexDigit(rest[1])) {
            line = rest.substr(0, 2);
            at_ += 3;
            ++lineNumber_;
            return true;
        }
        const std::size_t digits = LeadingHexDigits(rest.substr(0, MaxLine));
        if (digits == 0 || digits == rest.size() || rest[digits] != '\n') return false;
        line = rest.substr(0, digits);
        at_ += digits + 1;
        ++lineNumber_;
        return true;
    }

    // The next line that says anything: FreeType passes over empty lines and
    // those starting with # or ^Z, and every reader over comments.
    std::string_view NextMeaningful(const char* missing) {
        std::string_view line;
        while (NextLine(line))
            if (!Ignorable(line)) return line;
        Unsure(std::string("no ") + missing + " before the end");
    }

    static bool Ignorable(std::string_view line) {
        if (line.empty()) return true;
        const char c = line.front();
        return c == '#' || c == '\x1A' || (c == 'C' && IsBdfKeyword(line, "COMMENT"));
    }

    // The words of the next meaningful line, which must be `keyword` in plain form.
    BdfWords Expect(const char* keyword) {
        const std::optional<BdfWords> words = BdfWords::After(NextMeaningful(keyword), keyword);
        if (!words) Unsure(std::string("another line than ") + keyword);
        if (!words->Plain()) Unsure(std::string("a trailing space in ") + keyword);
        return *words;
    }

    long Number(BdfWords& words, bool negative, int digits, const char* what) {
        const std::optional<long> value = BdfNumber(words.Next(), negative, digits);
        if (!value) Unsure(std::string("a number of ") + what + " of another form");
        return *value;
    }

    void ReadHeader() {
        const BdfWords name = Expect("FONT");
        if (name.Done() || name.HasTab() || name.Rest().size() > MaxFontName)
            Unsure("a FONT name empty, long or with a tab");
        BdfWords size = Expect("SIZE");
        budget_.Size(size.Rest());
        for (int i = 0; i < 3; ++i) Number(size, false, CodeDigits, "SIZE");
        if (!size.Done() && size.Next() != "1") Unsure("a grey or odd SIZE");
        if (!size.Done()) Unsure("a SIZE of more than 4 numbers");
        BdfWords box = Expect("FONTBOUNDINGBOX");
        Number(box, false, MetricDigits, "FONTBOUNDINGBOX");
        const long height = Number(box, false, MetricDigits, "FONTBOUNDINGBOX");
        Number(box, true, MetricDigits, "FONTBOUNDINGBOX");
        const long bottom = Number(box, true, MetricDigits, "FONTBOUNDINGBOX");
        if (!box.Done()) Unsure("a FONTBOUNDINGBOX of more than 4 numbers");

        std::string_view line = NextMeaningful("CHARS");
        std::optional<long> ascent, descent;
        if (auto properties = BdfWords::After(line, "STARTPROPERTIES")) {
            if (!properties->Plain()) Unsure("a tab or trailing space in STARTPROPERTIES");
            const long count = Number(*properties, false, CodeDigits, "STARTPROPERTIES");
            if (count > MaxProperties || static_cast<std::size_t>(count) > text_.size() / 4)
                Unsure("more properties than a font has");
            ReadProperties(ascent, descent);
            line = NextMeaningful("CHARS");
        }
        font_.ascent = ascent.value_or(height + bottom);
        font_.descent = descent.value_or(-bottom);
        auto chars = BdfWords::After(line, "CHARS");
        if (!chars || !chars->Plain()) Unsure("another line than CHARS");
        const long count = Number(*chars, false, CodeDigits, "CHARS");
        if (count >= MaxCodes) Unsure("too many CHARS");
        // As many as the file can hold at the fewest bytes a glyph takes.
        const auto expected =
            std::min<std::size_t>(static_cast<std::size_t>(count), text_.size() / MinGlyphBytes);
        font_.glyphs.reserve(expected);
        font_.bitmaps.reserve(text_.size() / 8);
    }

    void ReadProperties(std::optional<long>& ascent, std::optional<long>& descent) {
        bool registrySeen = false, encodingSeen = false;
        for (;;) {
            const std::string_view line = NextMeaningful("ENDPROPERTIES");
            if (BdfWords::After(line, "ENDPROPERTIES")) return;
            const std::string_view name =
                line.substr(0, std::min(line.find_first_of(" \t"), line.size()));
            if (name == "SIZE" || name == "BBX" || name == "STARTCHAR" || name == "ENCODING")
                Unsure("a property named as a glyph line");
            if (name == "FONT_ASCENT")
                ascent = IntegerProperty(line, name, ascent);
            else if (name == "FONT_DESCENT")
                descent = IntegerProperty(line, name, descent);
            else if (name == "CHARSET_REGISTRY")
                font_.registry = AtomProperty(line, name, registrySeen);
            else if (name == "CHARSET_ENCODING")
                font_.encoding = AtomProperty(line, name, encodingSeen);
        }
    }

    long IntegerProperty(std::string_view line, std::string_view name,
                         const std::optional<long>& before) {
        if (before) Unsure("a second " + std::string(name));
        auto words = BdfWords::After(line, name);
        if (!words->Plain()) Unsure("a tab or trailing space in " + std::string(name));
        const long value = Number(*words, true, MetricDigits, "a property");
        if (!words->Done()) Unsure("more than one value of " + std::string(name));
        return value;
    }

    // An atom's value as FreeType trims it: blanks, then one quote at each end.
    std::optional<std::string_view> AtomProperty(std::string_view line, std::string_view name,
                                                 bool& seen) {
        if (seen) Unsure("a second " + std::string(name));
        seen = true;
        std::string_view value = line.substr(std::min(name.size() + 1, line.size()));
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        if (value.starts_with('"')) value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
            value.remove_suffix(1);
        if (value.ends_with('"')) value.remove_suffix(1);
        if (value.empty()) return std::nullopt;
        return value;
    }

    void ReadGlyphs() {
        for (;;) {
            const std::string_view line = NextMeaningful("ENDFONT");
            if (const auto end = BdfWords::After(line, "ENDFONT")) {
                if (!end->Done()) Unsure("words after ENDFONT");
                break;
            }
            const auto start = BdfWords::After(line, "STARTCHAR");
            if (!start || !start->Plain() || start->Done() || start->HasTab())
                Unsure("another line than STARTCHAR");
            ReadGlyph(start->Rest());
        }
        const std::string_view rest = text_.substr(at_);
        if (rest.find_first_not_of(" \t\r\n") != std::string_view::npos)
            Unsure("more after ENDFONT");
    }

    void ReadGlyph(std::string_view name) {
        BdfWords encoding = Expect("ENCODING");
        const std::string_view codeWords = encoding.Rest();
        const long first = Number(encoding, true, CodeDigits, "ENCODING");
        std::optional<long> second;
        if (!encoding.Done()) second = Number(encoding, true, CodeDigits, "ENCODING");
        if (!encoding.Done()) Unsure("an ENCODING of more than 2 numbers");

        BdfGlyph glyph;
        glyph.code = static_cast<std::int32_t>(KeptCode(first, second));
        bool swidth = false, dwidth = false, box = false;
        for (;;) {
            const std::string_view line = NextMeaningful("BITMAP");
            const char c = line.front();
            if (c == 'S' && IsBdfKeyword(line, "SWIDTH")) {
                if (std::exchange(swidth, true)) Unsure("a second SWIDTH");
            } else if (auto advance = c == 'D' ? BdfWords::After(line, "DWIDTH") : std::nullopt) {
                if (std::exchange(dwidth, true) || !advance->Plain()) Unsure("an odd DWIDTH");
                glyph.advance =
                    static_cast<std::int16_t>(Number(*advance, false, MetricDigits, "DWIDTH"));
                if (!advance->Done()) Number(*advance, true, MetricDigits, "DWIDTH");
                if (!advance->Done()) Unsure("a DWIDTH of more than 2 numbers");
            } else if (auto bbx = c == 'B' ? BdfWords::After(line, "BBX") : std::nullopt) {
                ReadBox(*bbx, name, glyph);
                if (std::exchange(box, true)) Unsure("a second BBX");
            } else if (line == "BITMAP" && box) {
                break;
            } else {
                Unsure("a glyph line out of order");
            }
        }
        if (!dwidth) glyph.advance = static_cast<std::int16_t>(glyph.width);
        ReadRows(glyph);
        if (glyph.code >= 0)
            font_.glyphs.push_back(glyph);
        else
            font_.uncoded.push_back({name, BdfGlyphCodeOf(codeWords)});
    }

    // A BBX line: its box, counted against the budget; the budget reads a
    // line of another form itself, so that it refuses what it would refuse
    // before this parser declines the line.
    void ReadBox(BdfWords words, std::string_view name, BdfGlyph& glyph) {
        const std::string_view text = words.Rest();
        const std::optional<long> width = BdfNumber(words.Next(), false, MetricDigits);
        const std::optional<long> height = BdfNumber(words.Next(), false, MetricDigits);
        const std::optional<long> left = BdfNumber(words.Next(), true, MetricDigits);
        const std::optional<long> bottom = BdfNumber(words.Next(), true, MetricDigits);
        if (!width || !height || !left || !bottom || !words.Done() || !words.Plain()) {
            budget_.Box(text, name, lineNumber_);
            Unsure("a BBX of another form");
        }
        budget_.Box(static_cast<std::uint64_t>(*width), static_cast<std::uint64_t>(*height), name,
                    lineNumber_);
        glyph.width = static_cast<std::uint16_t>(*width);
        glyph.height = static_cast<std::uint16_t>(*height);
        glyph.left = static_cast<std::int16_t>(*left);
        glyph.top = static_cast<std::int16_t>(*bottom + *height);
    }

    // The code FreeType keeps: -1, no code, for a negative one or one past Unicode.
    static long KeptCode(long first, const std::optional<long>& second) {
        long code = std::max(first, -1L);
        if (code == -1 && second) code = *second;
        return code < -1 || code >= MaxCodes ? -1 : code;
    }

    void ReadRows(BdfGlyph& glyph) {
        const unsigned rowBytes = (glyph.width + 7) / 8;
        glyph.offset = static_cast<std::uint32_t>(font_.bitmaps.size());
        font_.bitmaps.resize(glyph.offset + std::size_t{rowBytes} * glyph.height);
        std::string_view line;
        for (unsigned row = 0;;) {
            if (TakeHexLine(line)) {
                if (row < glyph.height)
                    DecodeBdfDigits(
                        line, font_.bitmaps.data() + glyph.offset + std::size_t{row} * rowBytes,
                        rowBytes, glyph.width);
                ++row;
                continue;
            }
            if (!NextLine(line)) Unsure("no ENDCHAR before the end");
            if (!line.empty() && line.front() == 'E' && IsBdfKeyword(line, "ENDCHAR")) return;
            if (Ignorable(line)) continue;
            std::uint8_t scratch = 0;
            std::uint8_t* bytes = row < glyph.height ? font_.bitmaps.data() + glyph.offset +
                                                           std::size_t{row} * rowBytes
                                                     : &scratch;
            if (!DecodeBdfRow(line, bytes, row < glyph.height ? rowBytes : 0,
                              row < glyph.height ? glyph.width : 0))
                Unsure("a bitmap line not in hex");
            ++row;
        }
    }

    void Finish() {
        const auto byCode = [](const BdfGlyph& a, const BdfGlyph& b) { return a.code < b.code; };
        if (!std::is_sorted(font_.glyphs.begin(), font_.glyphs.end(), byCode))
            std::stable_sort(font_.glyphs.begin(), font_.glyphs.end(), byCode);
        const auto twice = std::adjacent_find(
            font_.glyphs.begin(), font_.glyphs.end(),
            [](const BdfGlyph& a, const BdfGlyph& b) { return a.code == b.code; });
        if (twice != font_.glyphs.end())
            throw UnsureBdf("two glyphs of code " + std::to_string(twice->code));
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t lineNumber_ = 0;
    BdfBoxBudget budget_;
    BdfFont font_;
};

}  // namespace

BitmapView BdfFont::View(const BdfGlyph& glyph) const {
    const unsigned rowBytes = (glyph.width + 7) / 8;
    return BitmapView{bitmaps.data() + glyph.offset,
                      static_cast<std::ptrdiff_t>(rowBytes),
                      glyph.width,
                      glyph.height,
                      true,
                      1};
}

BdfFont ParseBdf(std::string_view text, const std::string& fileName) {
    return Parser(text, fileName).Run();
}

}  // namespace font
