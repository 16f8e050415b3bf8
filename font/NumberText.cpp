#include "font/NumberText.h"

#include <charconv>

namespace font {

std::string DecimalText(long value) {
    std::string text;
    AppendDecimal(text, value);
    return text;
}

std::string HexText(unsigned long value, int digits) {
    std::string text;
    AppendHex(text, value, digits);
    return text;
}

void AppendDecimal(std::string& out, long value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void AppendHex(std::string& out, unsigned long value, int digits) {
    char buffer[32];
    char* start = buffer + sizeof buffer;
    do {
        *--start = HexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    const auto written = buffer + sizeof buffer - start;
    if (digits > written) out.append(static_cast<std::size_t>(digits - written), '0');
    out.append(start, buffer + sizeof buffer);
}

}  // namespace font
