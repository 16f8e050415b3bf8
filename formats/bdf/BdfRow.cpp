#include "formats/bdf/BdfRow.h"

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

bool DecodeBdfRow(std::string_view line, std::uint8_t* row, unsigned rowBytes, unsigned width) {
    std::size_t digits = 0;
    while (digits < line.size() && HexValue(line[digits]) != NotHex) ++digits;
    for (std::size_t i = digits; i < line.size(); ++i)
        if (line[i] != ' ' && line[i] != '\t') return false;
    const std::size_t nibbles = std::size_t{rowBytes} * 2;
    std::uint8_t* byte = row;
    for (std::size_t i = 0; i < nibbles && i < digits; ++i) {
        *byte = static_cast<std::uint8_t>((*byte << 4) + HexValue(line[i]));
        if (i + 1 < nibbles && (i & 1) != 0) *++byte = 0;
    }
    if (width != 0) *byte &= LastByteMask[width & 7];
    return true;
}

}  // namespace font
