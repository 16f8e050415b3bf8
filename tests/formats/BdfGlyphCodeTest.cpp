#include "formats/bitmapimport/BdfGlyphCode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// The code as the C library reads it, the reading BdfGlyphCodeOf stands in for.
long WithStrtol(const std::string& words) {
    char* end = nullptr;
    long code = std::strtol(words.c_str(), &end, 10);
    if (code < -1) code = -1;
    if (code == -1) {
        char* alternativeEnd = nullptr;
        const long alternative = std::strtol(end, &alternativeEnd, 10);
        if (alternativeEnd != end) code = alternative < -1 ? -1 : alternative;
    }
    return code;
}

TEST(BdfGlyphCode, ReadsCodesAsStrtolDoes) {
    for (const char* words : {"65",
                              "-1",
                              "-1 67",
                              "-2 67",
                              "-1 -5",
                              "0",
                              "",
                              "x",
                              "+12",
                              "  12",
                              "12abc",
                              "-1 x",
                              "-1    300",
                              "99999999999999999999",
                              "-99999999999999999999",
                              "-1 99999999999999999999",
                              "1114112",
                              "9223372036854775807",
                              "-9223372036854775808",
                              "-",
                              "- 5",
                              "-1\t7",
                              "65 66"}) {
        SCOPED_TRACE(words);
        EXPECT_EQ(font::BdfGlyphCodeOf(words), WithStrtol(words));
    }
}

}  // namespace
