#include "font/NumberText.h"

#include <charconv>

namespace font {

std::string DecimalText(long value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string HexText(unsigned long value, int digits) {
    constexpr char Digits[] = "0123456789ABCDEF";
    char buffer[32];
    char* start = buffer + sizeof buffer;
    do {
        *--start = Digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    const auto written = buffer + sizeof buffer - start;
    std::string text(digits > written ? static_cast<std::size_t>(digits - written) : 0, '0');
    return text.append(start, buffer + sizeof buffer);
}

}  // namespace font
