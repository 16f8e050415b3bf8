#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

namespace font {

// Inline: a BDF font is scanned line by line, and most lines are bitmap rows.

// The next line of a BDF text from `at`, without its line end; moves `at`
// past it.
inline std::string_view NextBdfLine(std::string_view text, std::size_t& at) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    return line;
}

// The text after a keyword and its blanks, without trailing blanks, or nothing
// when `line` does not start with the keyword as a word of its own.
inline std::optional<std::string_view> AfterKeyword(std::string_view line,
                                                    std::string_view keyword) {
    if (line.empty() || keyword.empty() || line.front() != keyword.front() ||
        !line.starts_with(keyword))
        return std::nullopt;
    line.remove_prefix(keyword.size());
    if (!line.empty() && line.front() != ' ' && line.front() != '\t' && line.front() != '\r')
        return std::nullopt;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}

}  // namespace font
