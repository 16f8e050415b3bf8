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

std::optional<char32_t> Number(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) base = 16;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'o' || text[1] == 'O')) base = 8;
    if (base != 10) text.remove_prefix(2);
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value > 0x10FFFF)
        return std::nullopt;
    return static_cast<char32_t>(value);
}

// What a glyph's labels say of its code point.
struct Labels {
    std::optional<char32_t> character;  // a character label of one code point
    std::optional<char32_t> codePoint;  // a code point label of one element
    std::string first;                  // the first label, as a warning names the glyph
};

// Reads one label into `labels`. Anything but a character or code point is
// a tag, as the plain labels of files before version 1.0 are.
void ReadLabel(std::string_view label, Labels& labels) {
    if (labels.first.empty()) labels.first = std::string(label);
    if (label.empty()) return;
    if (label.size() >= 2 && label.front() == '"' && label.back() == '"') return;
    if (label.size() >= 2 && label.front() == '\'' && label.back() == '\'') {
        const auto decoded = DecodeUtf8(label.substr(1, label.size() - 2));
        if (decoded && decoded->size() == 1) labels.character = (*decoded)[0];
        return;
    }
    if (label.starts_with("u+") || label.starts_with("U+")) {
        if (label.find(',') == label.npos) {
            const auto cp = Number("0x" + std::string(Trim(label.substr(2))));
            if (!cp) return;
            labels.character = *cp;
        }
        return;
    }
    if (std::isdigit(static_cast<unsigned char>(label[0]))) {
        if (label.find(',') == label.npos) {
            const auto cp = Number(Trim(label));
            if (!cp) return;
            labels.codePoint = *cp;
        }
        return;
    }
}

// Per-glyph or global placement, which add up.
struct Metrics {
    long shiftUp = 0, leftBearing = 0, rightBearing = 0;

    // Takes a metric property; false when `key` names none.
    bool Take(const std::string& key, std::string_view value, const std::string& where) {
        long* target = key == "shift-up"        ? &shiftUp
                       : key == "left-bearing"  ? &leftBearing
                       : key == "right-bearing" ? &rightBearing
                                                : nullptr;
        if (target == nullptr) return false;
        const auto number = Integer(value);
        if (!number)
            throw Failure(where + ": " + key + " '" + std::string(value) +
                          "' is not a number from " + std::to_string(-MaxMetric) + " to " +
                          std::to_string(MaxMetric));
        *target = *number;
        return true;
    }
};

struct YaffGlyph {
    Labels labels;
    std::vector<std::string_view> rows;  // each of '.' and '@', all one length
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
    bool Unicode() const { return unicode_; }

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
        if (key == "yaff") signed_ = true;
        if (!glyphs_.empty()) return;  // font properties come before the glyphs
        if (global_.Take(key, value, Where())) return;
        if (key == "ascent") {
            ascent_ = Integer(value);
            if (!ascent_) Refuse("ascent '" + std::string(value) + "' is not a number");
        }
        if (key == "encoding" || key == "charset") {
            std::string name;
            for (const char c : value)
                if (std::isalnum(static_cast<unsigned char>(c)))
                    name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            unicode_ = name == "unicode" || name == "ucs" || name == "iso10646" ||
                       name == "iso106461" || name == "utf8" || name == "iso88591" ||
                       name == "latin1";
        }
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
        const bool raster = first == "-" || first.find_first_not_of(".@") == first.npos;
        if (!raster) {
            if (heads.size() == 1)
                if (const auto key = Key(heads[0])) return Take(*key, {});
            at_ = start;
            Refuse("a value under more than one key");
        }
        YaffGlyph glyph;
        for (const std::string_view head : heads) ReadLabel(head, glyph.labels);
        std::size_t line = start;
        if (first != "-")
            for (; line < at_ && !IsBlank(lines_[line]); ++line) {
                const std::string_view row = Trim(lines_[line]);
                if (row.find_first_not_of(".@") != row.npos) break;
                if (row.size() != first.size()) {
                    at_ = line;
                    Refuse("a glyph's rows are not all " + std::to_string(first.size()) + " wide");
                }
                glyph.rows.push_back(row);
            }
        else
            ++line;
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
    bool unicode_ = false;
    std::optional<long> ascent_;
    Metrics global_;
    std::vector<YaffGlyph> glyphs_;
};

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
        const Labels& labels = glyph.labels;
        const std::optional<char32_t> cp = labels.character                       ? labels.character
                                           : labels.codePoint && parser.Unicode() ? labels.codePoint
                                                                                  : std::nullopt;
        if (!cp) {
            report.Skip(fileName, "the glyph '" + labels.first + "' has no Unicode character");
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
        const long columns = height == 0 ? 0 : static_cast<long>(glyph->rows[0].size());
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
