#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace font {

// The next line of a BDF text from `at`, without its line end; moves `at`
// past it.
std::string_view NextBdfLine(std::string_view text, std::size_t& at);

// The text after a keyword and its blanks, without trailing blanks, or nothing
// when `line` does not start with the keyword as a word of its own.
std::optional<std::string_view> AfterKeyword(std::string_view line, std::string_view keyword);

}  // namespace font
