#include "formats/csource/CDeclarations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "font/Failure.h"

namespace {

// What a header reads as: the numbers of its one array `v` and the line
// it starts on, or the reason it cannot be read.
struct Reading {
    std::vector<std::int64_t> values;
    int line = 0;
    std::string failure;
};

Reading Read(const std::string& text, const std::vector<std::string>& defines) {
    Reading reading;
    try {
        const font::CSource source = font::ReadCSource(text, defines);
        int found = 0;
        for (const font::CDeclaration& d : source.declarations) {
            if (d.name != "v") continue;
            ++found;
            reading.line = d.line;
            for (std::size_t i = 0; i < d.value.Size(); ++i)
                reading.values.push_back(d.value.Item(i).number);
        }
        if (found != 1)
            reading.failure =
                source.problem.empty() ? std::to_string(found) + " arrays v" : source.problem;
    } catch (const font::Failure& failure) {
        reading.failure = failure.what();
    }
    return reading;
}

struct Case {
    const char* what;
    std::string text;
    std::vector<std::int64_t> values;  // expected, when it reads
    int line;                          // of v's '='
    std::string failure;               // a part of the reason, when it does not
    std::vector<std::string> defines = {};
};

template <std::size_t N>
void ExpectReadings(const Case (&cases)[N]) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Reading reading = Read(c.text, c.defines);
        if (c.failure.empty()) {
            EXPECT_EQ(reading.failure, "");
            EXPECT_EQ(reading.values, c.values);
            EXPECT_EQ(reading.line, c.line);
        } else {
            EXPECT_NE(reading.failure.find(c.failure), std::string::npos) << reading.failure;
        }
    }
}

const std::string V = "const int v[] = {1};";

TEST(CDeclarationsTest, ReadsDirectivesAsACompilerDoes) {
    const Case cases[] = {
        // Every way a directive ends.
        {"a block comment", "#if 1\n#endif /* (X) */\n" + V, {1}, 3, ""},
        {"a block comment after an include",
         "#include <Adafruit_GFX.h> /* GFXfont */\n" + V,
         {1},
         2,
         ""},
        {"a line comment holding /*", "#include <x.h> // the /* form\n" + V, {1}, 2, ""},
        {"a string holding /*", "#define S \"a /* b\"\n" + V, {1}, 2, ""},
        {"a block comment over lines",
         "#define A 1 /* one\n two */ + 1\nconst int v[] = {A};",
         {2},
         3,
         ""},
        {"a joined line", "#define A 1 + \\\n 2\nconst int v[] = {A};", {3}, 3, ""},
        {"CRLF", "#if 1\r\n" + V + "\r\n#endif\r\n", {1}, 2, ""},
        {"CR alone", "#if 0\r9\r#endif\r" + V + "\r", {1}, 4, ""},
        {"the end of the file", V + "\n#define X", {1}, 1, ""},
        // Every conditional form.
        {"#ifdef inside a table",
         "const int v[] = {1,\n#ifdef OLD\n 9,\n#endif\n 2};",
         {1, 2},
         1,
         ""},
        {"#ifdef of a -D",
         "const int v[] = {1,\n#ifdef OLD\n 9,\n#endif\n 2};",
         {1, 9, 2},
         1,
         "",
         {"OLD"}},
        {"an #if 0 copy before", "#if 0\nconst int v[] = {9};\n#endif\n" + V, {1}, 4, ""},
        {"#ifdef and #else",
         "#ifdef X\nconst int v[] = {9};\n#else\n" + V + "\n#endif",
         {1},
         4,
         ""},
        {"#ifndef", "#ifndef X\n" + V + "\n#else\nconst int v[] = {9};\n#endif", {1}, 2, ""},
        {"#elif chain",
         "#define N 3\n#if N == 1\nconst int v[] = {9};\n#elif N > 2 && defined(N)\n" + V +
             "\n#else\nconst int v[] = {8};\n#endif",
         {1},
         5,
         ""},
        {"#elif of a -D value",
         "#if N == 1\nconst int v[] = {9};\n#elif N == 2\n" + V + "\n#endif",
         {1},
         4,
         "",
         {"N=2"}},
        {"#elifdef and #elifndef",
         "#ifdef A\nconst int v[] = {9};\n#elifdef B\nconst int v[] = {8};\n#elifndef C\n" + V +
             "\n#endif",
         {1},
         6,
         ""},
        {"nested groups not taken",
         "#if 0\n#if 1\nconst int v[] = {9};\n#else\nconst int v[] = {8};\n#endif\n#else\n" + V +
             "\n#endif",
         {1},
         8,
         ""},
        {"#undef",
         "#define X 1\n#undef X\n#ifdef X\nconst int v[] = {9};\n#else\n" + V + "\n#endif",
         {1},
         6,
         ""},
        {"an undefined name is 0",
         "#if UNDEFINED || defined UNDEFINED\nconst int v[] = {9};\n#endif\n" + V,
         {1},
         4,
         ""},
        {"operators and precedence",
         "#if (2 + 3 * 4) == 14 && !(1 ? 0 : 1) && -1 < 0 && !(-1 < 0u) && (1 << 3) == 8 && "
         "7 / 2 == 3 && -7 % 4 == -3 && (6 & 3 | 8 ^ 1) == 11 && ~0 == -1 && (1 << 64) == 0 && "
         "(-8 >> 1) == -4 && 0 && 1 / 0 == 0 "
         "|| 1 >= 1\n" +
             V + "\n#endif",
         {1},
         2,
         ""},
        // C next to the font.
        {"prose in #if 0",
         "#if 0\nThis font's prose /* and\n a comment */ \"too\n\"a \\\" /* \"\n#endif\n" + V,
         {1},
         6,
         ""},
        {"a multi-character constant",
         "const int v[] = {'GFX1' == 0x47465831, 'A', '\\x41', '\\0101' == 0x0831};",
         {1, 65, 65, 1},
         1,
         ""},
        {"a raw string", "const char* s = R\"x(a \" )\" b)x\";\n" + V, {1}, 2, ""},
        {"inline namespace", "inline namespace v1 {\n" + V + "\n}", {1}, 2, ""},
        {"a byte order mark", "\xEF\xBB\xBF" + V, {1}, 1, ""},
        {"a float beside", "const float f = 1.5e3f;\n" + V, {1}, 2, ""},
        {"suffixes and separators",
         "const int v[] = {10UL, 0x10u, 1'000, 0b101, 017};",
         {10, 16, 1000, 5, 15},
         1,
         ""},
        {"macros as values",
         "#define W 5\n#define WW (W + 1)\nconst int v[] = {W, WW, 0x41 + 1, (uint8_t)7};",
         {5, 6, 0x42, 7},
         3,
         ""},
        {"a macro that names itself",
         "#define W W\nconst int v[] = {W + 1};",
         {},
         0,
         "line 2: W is not a number this file defines; --define W=VALUE"},
        // What a compiler would stop at.
        {"a function-like macro in #if",
         "#define F(x) x\n#if F(1)\n#endif",
         {},
         0,
         "line 2: #if uses the function-like macro F"},
        {"an unknown call in #if",
         "#if __has_include(<a.h>)\n#endif",
         {},
         0,
         "line 1: #if calls __has_include"},
        {"#else without #if", "\n#else\n", {}, 0, "line 2: #else without its #if"},
        {"#if without #endif", "#ifdef A\n" + V, {}, 0, "line 1: an #if without its #endif"},
        {"#elif after #else",
         "#if 0\n#else\n#elif 1\n#endif",
         {},
         0,
         "line 3: #elif after the #else of line 1"},
        {"#error", "#if 1\n#error needs Arduino\n#endif", {}, 0, "line 2: #error needs Arduino"},
        {"#error not taken", "#if 0\n#error needs Arduino\n#endif\n" + V, {1}, 4, ""},
        {"division by zero", "#if 1 / 0\n#endif", {}, 0, "line 1: a division by zero"},
        {"a comment that does not end",
         "#if 0\n/* x\n#endif",
         {},
         0,
         "line 2: a comment does not end"},
        {"defined without a name", "#if defined(1)\n#endif", {}, 0, "'defined' without a name"},
        {"#if past its expression", "#if 1 2\n#endif", {}, 0, "line 1: cannot read #if past"},
        {"a function-like macro as a value",
         "#define B(x) x\nconst int v[] = {B(1)};",
         {},
         0,
         "line 2: B(…) is a function-like macro"},
    };
    ExpectReadings(cases);
}

// A function-like macro given as a -D, as a library's headers would define
// it, is called in #if as a compiler calls it; one the file defines, or a
// call of none, is still refused.
TEST(CDeclarationsTest, GivenFunctionLikeMacrosExpandInIf) {
    const std::vector<std::string> version = {"MAJOR=9",
                                              "MINOR=6",
                                              "AT_LEAST(x, y)=(x == MAJOR && y <= MINOR)",
                                              "ADD(a,b)=((a) + (b))",
                                              "NONE()=7",
                                              "TWICE(x)=x x",
                                              "SELF(x)=SELF(x)"};
    const auto branches = [](const std::string& condition) {
        return "#if " + condition + "\nconst int v[] = {1};\n#else\nconst int v[] = {2};\n#endif";
    };
    const Case cases[] = {
        {"a call that holds", branches("AT_LEAST(9, 6)"), {1}, 2, "", version},
        {"a call that does not", branches("AT_LEAST(8, 0)"), {2}, 4, "", version},
        {"a minor version past it", branches("AT_LEAST(9, 7)"), {2}, 4, "", version},
        {"arguments expanded first, with their own parentheses and commas",
         branches("AT_LEAST(ADD(4, 5), (ADD(1, 2) * 2)) && NONE() == 7"),
         {1},
         2,
         "",
         version},
        {"a call in its own argument",
         branches("AT_LEAST(AT_LEAST(9, 0) * 9, 6)"),
         {1},
         2,
         "",
         version},
        {"spaces and comments inside the call",
         branches("AT_LEAST ( 9 /* major */ , 0 )"),
         {1},
         2,
         "",
         version},
        {"an #elif with a call",
         "#if 0\n#elif AT_LEAST(9, 0)\nconst int v[] = {3};\n#endif",
         {3},
         3,
         "",
         version},
        {"the name without a call is 0", branches("AT_LEAST"), {2}, 4, "", version},
        {"defined of a given macro", branches("defined(AT_LEAST)"), {1}, 2, "", version},
        {"too few arguments",
         branches("AT_LEAST(9)"),
         {},
         0,
         "line 1: AT_LEAST takes 2 arguments, not 1",
         version},
        {"too many arguments",
         branches("NONE(1)"),
         {},
         0,
         "line 1: NONE takes 0 arguments, not 1",
         version},
        {"a call that does not close",
         branches("AT_LEAST(9, 6"),
         {},
         0,
         "line 1: the call of AT_LEAST(…) does not close",
         version},
        {"a macro that calls itself stops",
         branches("SELF(1)"),
         {},
         0,
         "line 1: #if uses the function-like macro SELF",
         version},
        {"calls that double their tokens end",
         branches([] {
             std::string nested = "1";
             for (int i = 0; i < 20; ++i) nested = "TWICE(" + nested + ")";
             return nested;
         }()),
         {},
         0,
         "more than 65,536 tokens",
         version},
        {"a call in the file's object-like macro",
         "#define NEW AT_LEAST(9, 0)\nconst int v[] = {NEW + 1};",
         {2},
         2,
         "",
         version},
        {"the file's variadic macro is kept, not expanded",
         "#define LOG(format, ...) 0\n" + branches("defined(LOG)"),
         {1},
         3,
         "",
         version},
        {"the file's own definition takes over",
         "#define AT_LEAST(x, y) 1\n" + branches("AT_LEAST(9, 6)"),
         {},
         0,
         "line 2: #if uses the function-like macro AT_LEAST",
         version},
        {"outside #if it stays a call",
         "const int v[] = {AT_LEAST(9, 6)};",
         {},
         0,
         "line 1: AT_LEAST(…) is a function-like macro",
         version},
        {"no call without a given macro",
         branches("AT_LEAST(9, 6)"),
         {},
         0,
         "line 1: #if calls AT_LEAST(…)"},
    };
    ExpectReadings(cases);
}

// Macros that expand to each other end, as a compiler's do.
TEST(CDeclarationsTest, MacrosExpandWithinBounds) {
    std::string doubling;
    for (int i = 0; i < 20; ++i)
        doubling += "#define M" + std::to_string(i) + " M" + std::to_string(i + 1) + " M" +
                    std::to_string(i + 1) + "\n";
    EXPECT_THROW(font::ReadCSource(doubling + "#define M20 1\nconst int v[] = {M0};"),
                 font::Failure);
    const Reading mutual = Read("#define A B\n#define B A\nconst int v[] = {A + 1};", {});
    EXPECT_NE(mutual.failure.find("A is not a number"), std::string::npos) << mutual.failure;
}

// The bytes of `v`'s string, or the reason it cannot be read.
std::string StringBytes(const std::string& text, const std::vector<std::string>& defines = {}) {
    try {
        const font::CSource source = font::ReadCSource(text, defines);
        for (const font::CDeclaration& d : source.declarations)
            if (d.name == "v" && d.value.kind == font::CValue::Kind::String) return d.value.bytes;
        return "no string v: " + source.problem;
    } catch (const font::Failure& failure) {
        return failure.what();
    }
}

// A string's bytes are those a compiler puts in a narrow literal.
TEST(CDeclarationsTest, StringsKeepTheirBytes) {
    using namespace std::string_literals;
    const struct {
        const char* what;
        std::string text;
        std::string bytes;
        std::vector<std::string> defines = {};
    } cases[] = {
        {"octal escapes of one to three digits", R"(const char v[] = "\0\7\101\1011\377";)",
         "\0\7AA1\377"s},
        {"hexadecimal escapes", R"(const char v[] = "\x41\x7e\xFF";)", "A~\xFF"},
        {"simple escapes", R"(const char v[] = "\n\t\\\"\'\?";)", "\n\t\\\"'?"},
        {"adjacent literals over lines", "const char v[] = \"ab\"\n  \"\\101\"\n\"\";", "abA"},
        {"UTF-8 in the text itself", "const char v[] = \"\xC3\xA9\xE2\x82\xAC\";",
         "\xC3\xA9\xE2\x82\xAC"},
        {"a universal character name as UTF-8", R"(const char v[] = "\u00E9";)", "\xC3\xA9"},
        {"a raw string as written", R"---(const char v[] = R"x(a\b")x";)---", R"(a\b")"},
        {"a string of the file's macro", "#define S \"ab\" \"c\"\nconst char v[] = S;", "abc"},
        {"a string of a define", "const char v[] = S;", "xy", {"S=\"xy\""}},
        {"an empty string", R"(const char v[] = "";)", ""},
        {"a string the text ends in", R"(const char v[] = "ab)", "line 1: a literal does not end"},
        {"an escape the text ends in", R"(const char v[] = "a\)", "line 1: a literal does not end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(StringBytes(c.text, c.defines), c.bytes);
    }
}

// A reading of strings alone reads lists to their end without keeping them.
TEST(CDeclarationsTest, StringsAloneLeaveListsEmpty) {
    const font::CSource source = font::ReadCSource(
        "const int t[] = {1, {2, 3}, 'x'};\nconst char v[] = \"ab\";\nconst int n = 4;", {},
        font::CKeep::Strings);
    ASSERT_EQ(source.declarations.size(), 3u);
    EXPECT_EQ(source.declarations[0].value.kind, font::CValue::Kind::List);
    EXPECT_EQ(source.declarations[0].value.Size(), 0u);
    EXPECT_EQ(source.declarations[1].value.bytes, "ab");
    EXPECT_EQ(source.declarations[2].value.number, 4);
}

// Macros cannot make strings take more memory than the text they come from.
TEST(CDeclarationsTest, StringsFromMacrosStayBounded) {
    const std::string kilobyte(1024, 'k');
    EXPECT_EQ(StringBytes("#define S \"" + kilobyte + "\"\nconst char v[] = S;"), kilobyte);

    const std::string repeated =
        StringBytes("#define S \"" + kilobyte + "\"\nconst char v[] = S S S S S S S S;");
    EXPECT_NE(repeated.find("longer than the whole file"), std::string::npos) << repeated.size();

    std::string doubling = "#define M0 \"" + kilobyte + "\"\n";
    for (int i = 1; i <= 12; ++i)
        doubling += "#define M" + std::to_string(i) + " M" + std::to_string(i - 1) + " M" +
                    std::to_string(i - 1) + "\n";
    const std::string doubled = StringBytes(doubling + "const char v[] = M12;");
    EXPECT_NE(doubled.find("more than a mebibyte"), std::string::npos) << doubled.size();
}

// A table of a million bytes is kept packed, and its items keep their lines
// and whether they were written as characters.
TEST(CDeclarationsTest, LargeTablesKeepEveryItem) {
    std::string text = "const unsigned char v[] = {'F',\n";
    for (int i = 0; i < 1'000'000; ++i)
        text += std::to_string(i % 256) + (i % 1000 == 999 ? ",\n" : ",");
    text += "};";
    const font::CSource source = font::ReadCSource(text);
    ASSERT_EQ(source.declarations.size(), 1u);
    const font::CValue& v = source.declarations[0].value;
    ASSERT_EQ(v.Size(), 1'000'001u);
    EXPECT_TRUE(v.Item(0).fromCharacter);
    EXPECT_FALSE(v.Item(1).fromCharacter);
    EXPECT_EQ(v.Item(1'000'000).number, 999'999 % 256);
    EXPECT_EQ(v.Item(1'000'000).line, 1001);
    EXPECT_EQ(v.WholeItems(), 0u);
}

}  // namespace
