#pragma once

#include <optional>
#include <string_view>

namespace font {

// Whether `line` starts with `keyword` as a word of its own.
inline bool IsBdfKeyword(std::string_view line, std::string_view keyword) {
    return line.starts_with(keyword) &&
           (line.size() == keyword.size() || line[keyword.size()] == ' ' ||
            line[keyword.size()] == '\t');
}

// Inline: every line of a glyph but its rows is split into words.

// The words of a BDF keyword line, in the one form that FreeType's reader
// and a plain split agree on: the keyword, then words each after one or
// more spaces, no tab, nothing trailing.
class BdfWords {
  public:
    // The words after `keyword`, or nothing when `line` is not that keyword
    // as a word of its own.
    static std::optional<BdfWords> After(std::string_view line, std::string_view keyword) {
        if (!IsBdfKeyword(line, keyword)) return std::nullopt;
        const std::string_view rest = line.substr(keyword.size());
        BdfWords words;
        words.plain_ = rest.empty() || rest.back() != ' ';
        std::size_t start = 0;
        while (start < rest.size() && rest[start] == ' ') ++start;
        words.rest_ = rest.substr(start);
        return words;
    }

    // Whether nothing trails the words. A tab fails any number read from
    // them; a line of other words says HasTab itself.
    bool Plain() const { return plain_; }
    bool HasTab() const { return rest_.find('\t') != std::string_view::npos; }
    // The next word, or an empty view when none is left.
    std::string_view Next() {
        std::size_t end = 0;
        while (end < rest_.size() && rest_[end] != ' ') ++end;
        const std::string_view word = rest_.substr(0, end);
        while (end < rest_.size() && rest_[end] == ' ') ++end;
        rest_.remove_prefix(end);
        return word;
    }
    bool Done() const { return rest_.empty(); }
    // The words as they stand, after the spaces that follow the keyword.
    std::string_view Rest() const { return rest_; }

  private:
    std::string_view rest_;
    bool plain_ = true;
};

// A word of at most `digits` decimal digits, with a minus sign when
// `negative` allows one: the forms whose value every BDF reader agrees on.
std::optional<long> BdfNumber(std::string_view word, bool negative, int digits);

}  // namespace font
