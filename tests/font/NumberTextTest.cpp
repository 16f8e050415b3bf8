#include "font/NumberText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(NumberText, DecimalAsPrintfWritesIt) {
    for (const long value : {0L, 7L, -3L, 1000L, -1234567L, LONG_MAX, LONG_MIN})
        EXPECT_EQ(font::DecimalText(value), std::to_string(value)) << value;
}

TEST(NumberText, HexPaddedToItsDigitsAndNeverCut) {
    struct Case {
        unsigned long value;
        int digits;
        const char* text;
    };
    for (const Case& c :
         {Case{0, 0, "0"}, Case{0, 2, "00"}, Case{0xA, 2, "0A"}, Case{0xFF, 2, "FF"},
          Case{0x1F600, 4, "1F600"}, Case{0x10FFFF, 8, "0010FFFF"}, Case{0xBEEF, 1, "BEEF"},
          Case{ULONG_MAX, 0, "FFFFFFFFFFFFFFFF"}})
        EXPECT_EQ(font::HexText(c.value, c.digits), c.text) << c.value << " " << c.digits;
}

// A writer adds numbers to the text it has: what is there stays in front.
TEST(NumberText, AppendingKeepsTheTextBeforeIt) {
    std::string text = "ENCODING ";
    font::AppendDecimal(text, -65);
    text += " 0x";
    font::AppendHex(text, 0x7, 2);
    font::AppendHex(text, 0x1F600, 4);
    EXPECT_EQ(text, "ENCODING -65 0x071F600");
}

}  // namespace
