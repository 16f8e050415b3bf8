#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

#include "font/Failure.h"
#include "font/InkRows.h"
#include "font/Unicode.h"
#include "formats/yaff/Yaff.h"

namespace font {
namespace {

constexpr long MaxMetric = 10'000;

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == line.npos;
}
bool Indented(std::string_view line) {
    return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == text.npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The lines of the first font in the file, without their line endings.
std::vector<std::string_view> LinesOf(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        if (line == "---" && !lines.empty()) break;
        if (line != "---") lines.push_back(line);
        if (end == text.npos) break;
        text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
    }
    return lines;
}

// A key as the format compares them: lower case, `_` read as `-`.
std::optional<std::string> Key(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::string key;
    for (const char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.')
            return std::nullopt;
        key += c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

std::optional<long> Integer(std::string_view text) {
    text = Trim(text);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value < -MaxMetric || value > MaxMetric)
        return std::nullopt;
    return value;
}

// A code point label's element: decimal (leading zeros allowed), 0x hex or
// 0o octal. Nothing when it is not a number; `tooLarge` when it is one that
// no code could be.
struct Element {
    bool number = false;
    bool tooLarge = false;
    unsigned long long value = 0;
};

Element NumberElement(std::string_view text) {
    text = Trim(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) base = 16;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'o' || text[1] == 'O')) base = 8;
    if (base != 10) text.remove_prefix(2);
    Element element;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), element.value, base);
    if (text.empty() || end != text.data() + text.size() ||
        (error != std::errc() && error != std::errc::result_out_of_range))
        return {};
    element.number = true;
    element.tooLarge = error == std::errc::result_out_of_range;
    return element;
}

// The code point label's bytes, as monobit reads one: each element's value
// in as few bytes as hold it, big-endian, one after another, leading zero
// bytes dropped. `0x120`, `0x1, 0x20` and `0, 1, 32` are all 01 20. Nothing
// when an element is not a number; a label that long is no code.
std::optional<std::string> CodeBytes(std::string_view label, bool& tooLarge) {
    constexpr std::size_t MaxBytes = 8;
    std::string bytes;
    while (true) {
        const std::size_t comma = label.find(',');
        const Element element = NumberElement(label.substr(0, comma));
        if (!element.number) return std::nullopt;
        std::string own;
        for (unsigned long long v = element.value; v != 0; v >>= 8)
            own.insert(own.begin(), static_cast<char>(v & 0xFF));
        if (own.empty()) own = std::string(1, '\0');
        bytes += own;
        tooLarge = tooLarge || element.tooLarge || bytes.size() > MaxBytes;
        if (tooLarge) bytes.resize(std::min(bytes.size(), MaxBytes));
        if (comma == label.npos) break;
        label.remove_prefix(comma + 1);
    }
    const std::size_t first = bytes.find_first_not_of('\0');
    bytes.erase(0, first == bytes.npos ? bytes.size() - 1 : first);
    return bytes;
}

// The code points of a character label's elements, each `u+` and hex digits
// or characters in single quotes; nothing when an element is neither.
std::optional<std::u32string> CharacterElements(std::string_view label) {
    std::u32string text;
    while (!label.empty()) {
        const std::size_t comma = label.find(',');
        const std::string_view element = Trim(label.substr(0, comma));
        label.remove_prefix(comma == label.npos ? label.size() : comma + 1);
        if (element.empty()) continue;
        if (element.size() >= 2 && element.front() == '\'' && element.back() == '\'') {
            const auto decoded = DecodeUtf8(element.substr(1, element.size() - 2));
            if (!decoded) return std::nullopt;
            text += *decoded;
            continue;
        }
        if (!element.starts_with("u+") && !element.starts_with("U+")) return std::nullopt;
        const std::string_view digits = Trim(element.substr(2));
        unsigned long value = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
            value > 0x10FFFF)
            return std::nullopt;
        text += static_cast<char32_t>(value);
    }
    return text;
}

// What a glyph's labels say of its code point.
struct Labels {
    std::optional<std::u32string> character;  // from a character label
    std::optional<std::string> codeBytes;     // from a code point label
    bool codeTooLarge = false;                // a code point label no code could be
    std::string first;                        // the first label, as a warning names the glyph
};

// Reads one label into `labels` as monobit tells them apart: a tag in double
// quotes; a character in single quotes; a code point when it starts with a
// digit; else a character when it is one character, not ASCII, or `u+`
// elements; anything else is a tag, as plain labels before version 1.0 are.
void ReadLabel(std::string_view label, Labels& labels) {
    if (labels.first.empty()) labels.first = std::string(label);
    if (label.empty()) return;
    if (label.size() >= 2 && label.front() == '"' && label.back() == '"') return;
    if (label.size() >= 2 && label.front() == '\'' && label.back() == '\'') {
        if (!labels.character) labels.character = DecodeUtf8(label.substr(1, label.size() - 2));
        return;
    }
    if (std::isdigit(static_cast<unsigned char>(label[0]))) {
        bool tooLarge = false;
        if (auto bytes = CodeBytes(label, tooLarge)) {
            if (!labels.codeBytes) {
                labels.codeBytes = std::move(bytes);
                labels.codeTooLarge = tooLarge;
            }
            return;
        }
    }
    if (labels.character) return;
    const auto decoded = DecodeUtf8(label);
    if (decoded && (decoded->size() == 1 || std::any_of(label.begin(), label.end(), [](char c) {
                        return static_cast<unsigned char>(c) > 0x7F;
                    }))) {
        labels.character = decoded;
        return;
    }
    labels.character = CharacterElements(label);
}

// How the font's encoding maps code point labels to characters.
enum class Encoding { None, Unicode, Latin1, Other };

// The encoding a name stands for, compared as monobit compares them: case,
// `-`, `_`, `.` and spaces aside.
Encoding EncodingNamed(std::string_view value) {
    std::string name;
    for (const char c : value)
        if (std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) > 0x7F)
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.empty()) return Encoding::None;
    for (const char* unicode : {"unicode", "ucs", "iso10646", "iso106461"})
        if (name == unicode) return Encoding::Unicode;
    for (const char* latin1 : {"latin1", "iso88591", "isoir100", "ibm819", "windows28591"})
        if (name == latin1) return Encoding::Latin1;
    return Encoding::Other;
}

// Per-glyph or global placement, which add up.
struct Metrics {
    long shiftUp = 0, leftBearing = 0, rightBearing = 0;

    // Takes a metric property, also the ones of files before version 1.0
    // (`tracking` for right-bearing, `offset` for left-bearing and
    // shift-up); false when `key` names none.
    bool Take(const std::string& key, std::string_view value, const std::string& where) {
        if (key == "offset") {
            std::string_view rest = Trim(value);
            const std::size_t split = rest.find_first_of(" \t,");
            const auto x = Integer(rest.substr(0, split));
            rest = Trim(split == rest.npos ? std::string_view() : rest.substr(split));
            if (rest.starts_with(',')) rest.remove_prefix(1);
            const auto y = Integer(rest);
            if (!x || !y)
                throw Failure(where + ": offset '" + std::string(value) +
                              "' is not two numbers from " + std::to_string(-MaxMetric) + " to " +
                              std::to_string(MaxMetric));
            leftBearing = *x;
            shiftUp = *y;
            return true;
        }
        long* target = key == "shift-up"                             ? &shiftUp
                       : key == "left-bearing"                       ? &leftBearing
                       : key == "right-bearing" || key == "tracking" ? &rightBearing
                                                                     : nullptr;
        if (target == nullptr) return false;
        *target = Number(key, value, where);
        return true;
    }

  private:
    static long Number(const std::string& key, std::string_view value, const std::string& where) {
        const auto number = Integer(value);
        if (!number)
            throw Failure(where + ": " + key + " '" + std::string(value) +
                          "' is not a number from " + std::to_string(-MaxMetric) + " to " +
                          std::to_string(MaxMetric));
        return *number;
    }
};

struct YaffGlyph {
    Labels labels;
    std::vector<std::string_view> rows;  // each of '.' and '@', all one length
    long blankWidth = 0;                 // of a glyph of rows of `-`, one fewer than theirs
    Metrics metrics;
};

// Not yaff: the reader lets other formats try the file.
struct NotYaff {};

class YaffParser {
  public:
    YaffParser(std::string_view text, const std::string& fileName)
        : lines_(LinesOf(text)), fileName_(fileName) {}

    void Parse() {
        while (at_ < lines_.size()) {
            const std::string_view line = lines_[at_];
            if (IsBlank(line) || line.starts_with('#')) {
                ++at_;
                continue;
            }
            if (Indented(line)) Refuse("an indented line under no label or property");
            const std::string_view trimmed = Trim(line);
            if (trimmed.ends_with(':'))
                Block();
            else
                Property(trimmed);
        }
    }

    bool Signed() const { return signed_; }
    const std::vector<YaffGlyph>& Glyphs() const { return glyphs_; }
    const Metrics& Global() const { return global_; }
    std::optional<long> Ascent() const { return ascent_; }
    Encoding FontEncoding() const { return encoding_; }
    const std::string& EncodingName() const { return encodingName_; }

  private:
    std::string Where() const { return fileName_ + ": line " + std::to_string(at_ + 1); }

    [[noreturn]] void Refuse(const std::string& what) const {
        if (!signed_) throw NotYaff{};
        throw Failure(Where() + ": " + what);
    }

    void Property(std::string_view line) {
        const std::size_t colon = line.find(':');
        if (colon == line.npos) Refuse("neither a label, a property nor a comment");
        const auto key = Key(Trim(line.substr(0, colon)));
        if (!key) Refuse("'" + std::string(Trim(line.substr(0, colon))) + "' is not a property");
        Take(*key, Trim(line.substr(colon + 1)));
        ++at_;
    }

    void Take(const std::string& key, std::string_view value) {
        if (key == "yaff") {
            signed_ = true;
            if (greyLevels_) RefuseGrey();
        }
        if (!glyphs_.empty()) return;  // font properties come before the glyphs
        if (global_.Take(key, value, Where())) return;
        if (key == "ascent") {
            ascent_ = Integer(value);
            if (!ascent_) Refuse("ascent '" + std::string(value) + "' is not a number");
        }
        if (key == "encoding") {
            encoding_ = EncodingNamed(value);
            encodingName_ = value;
        }
        if (const Element levels = NumberElement(value);
            key == "levels" && !(levels.number && !levels.tooLarge && levels.value == 2)) {
            greyLevels_ = {at_, std::string(Trim(value))};
            if (signed_) RefuseGrey();
        }
    }

    // A font of grey levels is refused once the file shows itself yaff: by
    // its signature or a glyph.
    [[noreturn]] void RefuseGrey() const {
        throw Failure(fileName_ + ": line " + std::to_string(greyLevels_->first + 1) +
                      ": levels: " + greyLevels_->second +
                      ": glyphs in grey levels are not read; a glyph's pixels are ink or none "
                      "(levels: 2)");
    }

    // Labels (or a key) ending in `:`, then the indented lines of a glyph or
    // of a property's value.
    void Block() {
        std::vector<std::string_view> heads;
        while (at_ < lines_.size() && !Indented(lines_[at_]) && !IsBlank(lines_[at_]) &&
               !lines_[at_].starts_with('#') && Trim(lines_[at_]).ends_with(':')) {
            const std::string_view head = Trim(lines_[at_]);
            heads.push_back(Trim(head.substr(0, head.size() - 1)));
            ++at_;
        }
        const std::size_t start = at_;
        while (at_ < lines_.size() && (Indented(lines_[at_]) || IsBlank(lines_[at_]))) ++at_;
        if (start == at_ || IsBlank(lines_[start])) {
            at_ = start;
            Refuse("nothing follows the label");
        }
        const std::string_view first = Trim(lines_[start]);
        if (greyLevels_ && first.find_first_not_of(".@-0123456789ABCDEFabcdef") == first.npos)
            RefuseGrey();
        const bool blank = first.find_first_not_of('-') == first.npos;
        const bool raster = blank || first.find_first_not_of(".@") == first.npos;
        if (!raster) {
            if (heads.size() == 1)
                if (const auto key = Key(heads[0])) return Take(*key, {});
            at_ = start;
            Refuse("a value under more than one key");
        }
        YaffGlyph glyph;
        for (const std::string_view head : heads) ReadLabel(head, glyph.labels);
        // A blank glyph of n + 1 dashes a row has n columns.
        const std::string_view pixels = blank ? "-" : ".@";
        if (blank) glyph.blankWidth = static_cast<long>(first.size()) - 1;
        std::size_t line = start;
        for (; line < at_ && !IsBlank(lines_[line]); ++line) {
            const std::string_view row = Trim(lines_[line]);
            if (row.find_first_not_of(pixels) != row.npos) break;
            if (row.size() != first.size()) {
                at_ = line;
                Refuse("a glyph's rows are not all " + std::to_string(first.size()) + " wide");
            }
            if (!blank) glyph.rows.push_back(row);
        }
        // Per-glyph properties follow the pixels after a blank line.
        for (; line < at_; ++line) {
            const std::string_view text = Trim(lines_[line]);
            const std::size_t colon = text.find(':');
            if (colon == text.npos) continue;
            if (const auto key = Key(Trim(text.substr(0, colon))))
                glyph.metrics.Take(*key, Trim(text.substr(colon + 1)),
                                   fileName_ + ": line " + std::to_string(line + 1));
        }
        glyphs_.push_back(std::move(glyph));
    }

    std::vector<std::string_view> lines_;
    const std::string& fileName_;
    std::size_t at_ = 0;
    bool signed_ = false;
    Encoding encoding_ = Encoding::None;
    std::string encodingName_;
    std::optional<std::pair<std::size_t, std::string>> greyLevels_;  // its line and value
    std::optional<long> ascent_;
    Metrics global_;
    std::vector<YaffGlyph> glyphs_;
};

// The character a glyph's labels give in the font's encoding; else nothing,
// with `why` saying why not.
std::optional<char32_t> CharacterOf(const Labels& labels, Encoding encoding,
                                    const std::string& encodingName, std::string& why) {
    if (labels.character && !labels.character->empty()) {
        if (labels.character->size() == 1) return (*labels.character)[0];
        why = "it is a sequence of " + std::to_string(labels.character->size()) + " characters";
        return std::nullopt;
    }
    if (!labels.codeBytes) return std::nullopt;
    const std::string& bytes = *labels.codeBytes;
    switch (encoding) {
        case Encoding::None:
            why = "the file gives no encoding for its code point labels";
            return std::nullopt;
        case Encoding::Other:
            why = "its code point labels are in encoding '" + encodingName +
                  "'; only unicode and latin-1 are read";
            return std::nullopt;
        case Encoding::Latin1:
            if (bytes.size() == 1 && !labels.codeTooLarge)
                return static_cast<unsigned char>(bytes[0]);
            why = "latin-1 has codes up to 0xFF only";
            return std::nullopt;
        case Encoding::Unicode:
            break;
    }
    // A Unicode code point label is UTF-32: four bytes a character.
    if (labels.codeTooLarge || bytes.size() > 4) {
        why = "its code point is more than one Unicode character";
        return std::nullopt;
    }
    char32_t cp = 0;
    for (const char byte : bytes) cp = (cp << 8) | static_cast<unsigned char>(byte);
    if (cp > 0x10FFFF) {
        why = "its code point is beyond Unicode";
        return std::nullopt;
    }
    return cp;
}

}  // namespace

std::optional<ImportReport> ReadYaff(std::string_view text, const std::string& fileName,
                                     const std::vector<CharRange>& ranges,
                                     std::optional<int> ascent) {
    YaffParser parser(text, fileName);
    try {
        parser.Parse();
    } catch (const NotYaff&) {
        return std::nullopt;
    }
    if (!parser.Signed() && parser.Glyphs().empty()) return std::nullopt;

    ImportReport report;
    report.source = "its yaff glyphs";
    const Metrics& global = parser.Global();
    // Each kept glyph with its code point, then where its ink lies.
    std::vector<std::pair<char32_t, const YaffGlyph*>> kept;
    InkRows ink;
    for (const YaffGlyph& glyph : parser.Glyphs()) {
        std::string why;
        const std::optional<char32_t> cp =
            CharacterOf(glyph.labels, parser.FontEncoding(), parser.EncodingName(), why);
        if (!cp) {
            report.Skip(fileName, "the glyph '" + glyph.labels.first +
                                      "' has no Unicode character" +
                                      (why.empty() ? "" : ": " + why));
            continue;
        }
        if (!Picks(ranges, *cp)) continue;
        if (!IsScalarValue(*cp)) {
            report.Skip(fileName, CodePointLabel(*cp) + " is not a Unicode character");
            continue;
        }
        const long height = static_cast<long>(glyph.rows.size());
        const long shift = global.shiftUp + glyph.metrics.shiftUp;
        for (long r = 0; r < height; ++r)
            if (glyph.rows[r].find('@') != std::string_view::npos)
                ink.Add(static_cast<int>(r - shift - height));
        kept.emplace_back(*cp, &glyph);
    }
    const std::optional<long> declared = ascent ? std::optional<long>(*ascent) : parser.Ascent();
    const std::optional<int> top =
        TopRowFor(ink, declared ? static_cast<int>(-*declared) : ink.first);
    if (!top)
        throw Failure(fileName + ": the glyphs' ink spans " + std::to_string(ink.Span()) +
                      " rows; a glyph has 7");

    std::set<char32_t> seen;
    for (const auto& [cp, glyph] : kept) {
        if (!seen.insert(cp).second) {
            report.Skip(fileName, "a second glyph for " + DescribeCharacter(cp));
            continue;
        }
        const long height = static_cast<long>(glyph->rows.size());
        const long columns =
            height == 0 ? glyph->blankWidth : static_cast<long>(glyph->rows[0].size());
        const long left = global.leftBearing + glyph->metrics.leftBearing;
        const long width = left + columns + global.rightBearing + glyph->metrics.rightBearing;
        std::optional<Glyph> made = report.Start(fileName, cp, width);
        if (!made) continue;
        const long shift = global.shiftUp + glyph->metrics.shiftUp;
        int dropped = 0;
        for (long r = 0; r < height; ++r)
            for (long c = 0; c < columns; ++c)
                if (glyph->rows[r][c] == '@' &&
                    !SetPixel(*made, static_cast<int>(left + c),
                              static_cast<int>(r - shift - height - *top)))
                    ++dropped;
        report.Keep(fileName, std::move(*made), dropped);
    }
    return report;
}

}  // namespace font
