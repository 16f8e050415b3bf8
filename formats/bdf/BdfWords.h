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

// The words of a BDF keyword line, in the one form that FreeType's reader
// and a plain split agree on: the keyword, then words each after one or
// more spaces, no tab, nothing trailing.
class BdfWords {
  public:
    // The words after `keyword`, or nothing when `line` is not that keyword
    // as a word of its own.
    static std::optional<BdfWords> After(std::string_view line, std::string_view keyword);

    // Whether the line is in that form.
    bool Plain() const { return plain_; }
    // The next word, or an empty view when none is left.
    std::string_view Next();
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
