#include "glyph/StrToInt.h"

#include <cstdint>
#include <limits>
#include <string>

#include "glyph/Errors.h"

namespace glyph {
namespace {

int DigitValue(char ch, int base) {
    int value = -1;
    if (ch >= '0' && ch <= '9')
        value = ch - '0';
    else if (ch >= 'a' && ch <= 'f')
        value = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F')
        value = ch - 'A' + 10;
    return value < base ? value : -1;
}

[[noreturn]] void Refuse(std::string_view text) {
    throw EConvertError("''" + std::string(text) + "'' は整数ではありません");
}

}  // namespace

int StrToInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;

    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    int base = 10;
    std::string_view rest = text.substr(pos);
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        base = 16;
        pos += 1;
    } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size()) Refuse(text);

    // The magnitude may reach 2^31 only for a negative value.
    const std::int64_t limit =
        std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) Refuse(text);
        magnitude = magnitude * base + digit;
        if (magnitude > limit) Refuse(text);
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace glyph
