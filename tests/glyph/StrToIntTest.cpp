#include "glyph/StrToInt.h"

#include <gtest/gtest.h>

#include <string>

#include "glyph/Errors.h"

namespace glyph {
namespace {

struct Accepted {
    const char* text;
    int value;
};

TEST(StrToInt, AcceptsDecimalAndHexadecimalForms) {
    const Accepted cases[] = {
        {"8", 8},
        {" 7", 7},
        {"+5", 5},
        {"-3", -3},
        {"$A", 10},
        {"x1F", 31},
        {"0x10", 16},
        {"07", 7},
        {"X1f", 31},
        {"0X0a", 10},
        {"-$A", -10},
        {"0", 0},
        {"  16", 16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToInt(c.text), c.value);
    }
}

TEST(StrToInt, RefusesAnythingElseNamingTheText) {
    const char* refused[] = {"",           " ",   "-",    "$",   "0x",         "7a",
                             "7 ",         "1.5", "+-1",  "--1", "2147483648", "-2147483649",
                             "$100000000", "x",   "0x-1", "$G",  "٣",          "１"};
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "''" + std::string(text) + "'' は整数ではありません");
        }
    }
}

TEST(StrToInt, ConversionErrorIsOneOfOurErrors) {
    EXPECT_THROW(StrToInt("ab"), Exception);
}

}  // namespace
}  // namespace glyph
