#include "formats/bdf/BdfRow.h"

#include <algorithm>
#include <array>

namespace font {
namespace {

constexpr std::uint8_t NotHex = 0xFF;

constexpr std::array<std::uint8_t, 256> HexValues = [] {
    std::array<std::uint8_t, 256> values{};
    values.fill(NotHex);
    for (int d = 0; d < 10; ++d) values['0' + d] = static_cast<std::uint8_t>(d);
    for (int d = 0; d < 6; ++d) {
        values['A' + d] = static_cast<std::uint8_t>(10 + d);
        values['a' + d] = static_cast<std::uint8_t>(10 + d);
    }
    return values;
}();

std::uint8_t HexValue(char c) {
    return HexValues[static_cast<unsigned char>(c)];
}

// The bits of a last byte that lie within the width, by the width's bits past whole bytes.
constexpr std::array<std::uint8_t, 8> LastByteMask = {0xFF, 0x80, 0xC0, 0xE0,
                                                      0xF0, 0xF8, 0xFC, 0xFE};

}  // namespace

std::size_t LeadingHexDigits(std::string_view text) {
    std::size_t digits = 0;
    while (digits < text.size() && HexValue(text[digits]) != NotHex) ++digits;
    return digits;
}

void DecodeBdfDigits(std::string_view digits, std::uint8_t* row, unsigned rowBytes,
                     unsigned width) {
    // A row of one byte, as most rows of 7-row fonts are, written at once.
    if (rowBytes == 1 && digits.size() >= 2) {
        *row = static_cast<std::uint8_t>((HexValue(digits[0]) << 4 | HexValue(digits[1])) &
                                         LastByteMask[width & 7]);
        return;
    }
    const std::size_t nibbles = std::min(std::size_t{rowBytes} * 2, digits.size());
    std::uint8_t* byte = row;
    std::size_t i = 0;
    // Whole bytes, then the digit left over, in the low nibble of the next.
    for (; i + 1 < nibbles; i += 2)
        *byte++ = static_cast<std::uint8_t>(HexValue(digits[i]) << 4 | HexValue(digits[i + 1]));
    if (i < nibbles)
        *byte = HexValue(digits[i]);
    else if (byte != row && i == std::size_t{rowBytes} * 2)
        --byte;  // a full row: the mask falls on its last byte
    if (width != 0) *byte &= LastByteMask[width & 7];
}

bool DecodeBdfRow(std::string_view line, std::uint8_t* row, unsigned rowBytes, unsigned width) {
    const std::size_t digits = LeadingHexDigits(line);
    for (std::size_t i = digits; i < line.size(); ++i)
        if (line[i] != ' ' && line[i] != '\t') return false;
    DecodeBdfDigits(line.substr(0, digits), row, rowBytes, width);
    return true;
}

}  // namespace font
