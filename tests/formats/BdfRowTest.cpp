#include "formats/bdf/BdfRow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char* line;
    unsigned width;
    std::vector<std::uint8_t> bytes;  // empty: the line is refused
};

// Rows as FreeType's BDF reader decodes them: the hex digits the row's bytes
// hold, a short row's odd digit in the low nibble, bits past the width
// cleared in the byte last written.
TEST(BdfRow, DecodesAsFreeTypeDoes) {
    const Case cases[] = {
        {"A8", 5, {0xA8}},
        {"FF", 5, {0xF8}},
        {"FF", 8, {0xFF}},
        {"ff", 3, {0xE0}},
        {"F", 5, {0x08}},
        {"F", 4, {0x00}},
        {"", 5, {0x00}},
        {"FFF0", 12, {0xFF, 0xF0}},
        {"FFFF", 11, {0xFF, 0xE0}},
        {"FF", 12, {0xFF, 0x00}},
        {"FFF", 12, {0xFF, 0x00}},
        {"FFF", 16, {0xFF, 0x0F}},
        {"A8C0", 5, {0xA8}},
        {"A8  \t", 5, {0xA8}},
        {"0", 0, {0x00}},
        {"8G", 5, {}},
        {"A8 C0", 5, {}},
        {" A8", 5, {}},
        {"COMMENT", 5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " width " + std::to_string(c.width));
        const unsigned rowBytes = (c.width + 7) / 8;
        std::vector<std::uint8_t> row(std::max(rowBytes, 1u), 0);
        const bool read = font::DecodeBdfRow(c.line, row.data(), rowBytes, c.width);
        EXPECT_EQ(read, !c.bytes.empty());
        if (read) {
            EXPECT_EQ(row, c.bytes);
        }
    }
}

}  // namespace
