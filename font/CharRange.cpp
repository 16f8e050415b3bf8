#include "font/CharRange.h"

#include <charconv>

namespace font {
namespace {

std::optional<char32_t> ParseCodePoint(std::string_view text) {
    int base = 10;
    for (const std::string_view prefix : {"0x", "0X", "U+", "u+"})
        if (text.starts_with(prefix)) {
            text.remove_prefix(prefix.size());
            base = 16;
            break;
        }
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value > 0x10FFFF)
        return std::nullopt;
    return static_cast<char32_t>(value);
}

}  // namespace

std::optional<CharRange> ParseCharRange(std::string_view text) {
    const std::size_t dash = text.find('-');
    const auto first = ParseCodePoint(text.substr(0, dash));
    const auto last =
        dash == std::string_view::npos ? first : ParseCodePoint(text.substr(dash + 1));
    if (!first || !last || *last < *first) return std::nullopt;
    return CharRange{*first, *last};
}

}  // namespace font
