#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// A u8g2 font as the C source a sketch includes: a comment naming it, then
// `const uint8_t NAME[SIZE] U8G2_FONT_SECTION("NAME") = "…";`, one string
// split over lines in which every byte but a printable, safe ASCII character
// is an octal escape. The font's last byte, 0, is the string's own end.
std::string U8g2Source(const std::vector<std::uint8_t>& font, const std::string& name,
                       const std::string& comment);

// A u8g2 font array found in C source: its name and its bytes.
struct U8g2Array {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Whether the text can hold a u8g2 font, judged cheaply before it is read.
bool MentionsU8g2(std::string_view text);

// The arrays of `text` initialised from a string that are u8g2 fonts: named
// u8g2_font_…, or in a file that places its fonts with U8G2_FONT_SECTION.
// `defines` are macros as a compiler's -D gives them. Raises Failure
// ("line N: …") for text that is not C.
std::vector<U8g2Array> FindU8g2Arrays(std::string_view text,
                                      const std::vector<std::string>& defines = {});

}  // namespace font
