#include "formats/bdf/BdfWords.h"

#include <algorithm>

namespace font {

std::optional<BdfWords> BdfWords::After(std::string_view line, std::string_view keyword) {
    if (!IsBdfKeyword(line, keyword)) return std::nullopt;
    const std::string_view rest = line.substr(keyword.size());
    BdfWords words;
    words.plain_ = rest.find('\t') == std::string_view::npos && !rest.ends_with(' ');
    const std::size_t start = rest.find_first_not_of(' ');
    words.rest_ = start == std::string_view::npos ? std::string_view() : rest.substr(start);
    return words;
}

std::string_view BdfWords::Next() {
    const std::size_t end = std::min(rest_.find(' '), rest_.size());
    const std::string_view word = rest_.substr(0, end);
    const std::size_t next = rest_.find_first_not_of(' ', end);
    rest_ = next == std::string_view::npos ? std::string_view() : rest_.substr(next);
    return word;
}

std::optional<long> BdfNumber(std::string_view word, bool negative, int digits) {
    const bool minus = negative && word.starts_with('-');
    if (minus) word.remove_prefix(1);
    if (word.empty() || word.size() > static_cast<std::size_t>(digits)) return std::nullopt;
    long value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return minus ? -value : value;
}

}  // namespace font
