#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// An array of a C source whose initialiser is a flat list of byte values,
// as the column fonts of small displays are kept.
struct CByteTable {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// The byte tables of `text` in the order they appear, including those
// declared through openGLCD's and SSD1306Ascii's GLCDFONTDECL(name) macro.
// Nothing for text that is not C; tables holding anything but numbers from 0
// to 255 are left out.
std::vector<CByteTable> ReadCByteTables(std::string_view text);

}  // namespace font
