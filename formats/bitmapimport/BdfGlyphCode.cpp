#include "formats/bitmapimport/BdfGlyphCode.h"

#include <climits>
#include <optional>

namespace font {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The decimal number at the start of `text` after blanks, as strtol reads it
// (too large a number is LONG_MAX or LONG_MIN), and `text` moved past it;
// nothing, and `text` as it was, when no digit follows.
std::optional<long> TakeNumber(std::string_view& text) {
    std::size_t at = 0;
    while (at < text.size() && IsCSpace(text[at])) ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    const unsigned long limit =
        negative ? static_cast<unsigned long>(LONG_MAX) + 1 : static_cast<unsigned long>(LONG_MAX);
    unsigned long value = 0;
    const std::size_t digits = at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const auto digit = static_cast<unsigned long>(text[at] - '0');
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    if (at == digits) return std::nullopt;
    text.remove_prefix(at);
    if (!negative) return static_cast<long>(value);
    return value == limit ? LONG_MIN : -static_cast<long>(value);
}

}  // namespace

long BdfGlyphCodeOf(std::string_view words) {
    long code = TakeNumber(words).value_or(0);
    if (code < -1) code = -1;
    if (code == -1)
        if (const std::optional<long> alternative = TakeNumber(words))
            code = *alternative < -1 ? -1 : *alternative;
    return code;
}

}  // namespace font
