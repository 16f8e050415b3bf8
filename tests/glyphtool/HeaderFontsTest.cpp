#include <gtest/gtest.h>

#include <algorithm>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

// The rows `show` prints for a glyph file, without its first line.
std::string Rows(const fs::path& file) {
    const std::string out = Glyphtool({"show", file}).out;
    return out.substr(std::min(out.size(), out.find('\n') + 1));
}

// An MD_MAX72XX table without the 'F' header: codes 0 to 255, each its
// width and columns, with `glyphs` at their codes and holes elsewhere.
std::string HeaderlessTable(const std::string& declaration,
                            const std::vector<std::pair<int, std::string>>& glyphs) {
    std::string text = declaration + " = {\n";
    for (int code = 0; code < 256; ++code) {
        const auto glyph = std::find_if(glyphs.begin(), glyphs.end(),
                                        [code](const auto& g) { return g.first == code; });
        text += "  " + (glyph == glyphs.end() ? std::string("0,") : glyph->second) + "\n";
    }
    return text + "};\n";
}

// A GFX font in the style of TomThumb.h: its extended characters and its
// last code behind a macro the file defines unless it is given.
const char* const Thumb = R"(/* Thumb: a font of 2 characters /* (and a comment in a comment) */
#include <Adafruit_GFX.h> /* GFXfont */
#if !defined(THUMB_USE_EXTENDED)
#define THUMB_USE_EXTENDED 0
#endif
#if 0
This font's glyphs are drawn "by hand
#endif
const uint8_t ThumbBitmaps[] PROGMEM = {
  0xE0, 0xA0, // 'A'
#if (THUMB_USE_EXTENDED)
  0xFF,
#endif
};
const GFXglyph ThumbGlyphs[] PROGMEM = {
  {0, 3, 1, 4, 0, -2}, /* 0x41 'A' */
  {1, 3, 1, 4, 0, -1}, /* 0x42 'B' */
#if (THUMB_USE_EXTENDED)
  {2, 1, 8, 2, 0, -6}, /* 0x43, two rows too tall */
#endif
};
#ifdef OTHER
const GFXfont Thumb PROGMEM = {(uint8_t *)ThumbBitmaps, (GFXglyph *)ThumbGlyphs, 0x41, 0x43, 7};
#elif THUMB_USE_EXTENDED
const GFXfont Thumb PROGMEM = {(uint8_t *)ThumbBitmaps, (GFXglyph *)ThumbGlyphs, 0x41, 0x43, 7};
#else
const GFXfont Thumb PROGMEM = {(uint8_t *)ThumbBitmaps, (GFXglyph *)ThumbGlyphs, 0x41, 0x42, 7};
#endif
)";

// The groups a compiler leaves out are left out, and --define takes them.
TEST(HeaderFonts, ConditionalGroupsAreReadAsACompilerReadsThem) {
    const Scratch scratch;
    WriteBytes(scratch / "thumb.h", Thumb);
    const Result plain = Glyphtool({"import", scratch / "thumb.h", "-o", scratch / "plain"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("GFX font Thumb (ascent 2)"), std::string::npos) << plain.out;
    EXPECT_EQ(Snapshot(scratch / "plain").size(), 2u);
    EXPECT_EQ(Rows(scratch / "plain/U+0042.dat"), "....\n#.#.\n....\n....\n....\n....\n....\n");

    const Result extended = Glyphtool({"import", scratch / "thumb.h", "-o", scratch / "extended",
                                       "--define", "THUMB_USE_EXTENDED", "-D", "UNUSED=2"});
    EXPECT_EQ(extended.status, 1);
    EXPECT_NE(extended.err.find("span 8 rows"), std::string::npos) << extended.err;

    const Result bad =
        Glyphtool({"import", scratch / "thumb.h", "-o", scratch / "bad", "--define", "2X=1"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("'2X' is not a C macro name"), std::string::npos) << bad.err;
}

// Tables without the 'F' header are read by their bytes, and the 7 rows
// are the ones the ink lies in.
TEST(HeaderFonts, Max72xxTablesWithoutTheirHeaderComeInWhole) {
    const Scratch scratch;
    // Bits 1 to 7 hold the ink, as in the library's FontSymbols.h.
    WriteBytes(scratch / "low.h",
               HeaderlessTable("const uint8_t Symbols[] PROGMEM",
                               {{0x41, "3, 0x02, 0xFE, 0x80,"}, {0xFF, "1, 0x10,"}}));
    // 8 rows of ink, in a table of the library's own type.
    WriteBytes(scratch / "tall.h",
               "#include <MD_MAX72xx.h>\n" +
                   HeaderlessTable("MD_MAX72XX::fontType_t Tall[]", {{0x30, "1, 0xFF,"}}));
    WriteBytes(scratch / "headed.h",
               "MD_MAX72XX::fontType_t Headed[] = {'F', 1, 0x30, 0x30, 8, 1, 0xFF};\n");
    // One byte short of its 256th entry.
    WriteBytes(scratch / "short.h",
               "#include <MD_MAX72xx.h>\n" +
                   HeaderlessTable("MD_MAX72XX::fontType_t Short[]", {{0xFF, "1,"}}));

    const Result low = Glyphtool({"import", scratch / "low.h", "-o", scratch / "low"});
    ASSERT_EQ(low.status, 0) << low.err;
    EXPECT_NE(low.out.find("(codes 0 to 255, no 'F' header)"), std::string::npos) << low.out;
    EXPECT_NE(low.out.find("imported 2 glyphs"), std::string::npos) << low.out;
    EXPECT_NE(low.out.find("(0 skipped, 0 clipped)"), std::string::npos) << low.out;
    EXPECT_NE(low.err.find("ink lies in bits 1 to 7"), std::string::npos) << low.err;
    EXPECT_EQ(Rows(scratch / "low/U+0041.dat"), "##.\n.#.\n.#.\n.#.\n.#.\n.#.\n.##\n");
    EXPECT_EQ(Rows(scratch / "low/U+00FF.dat"), ".\n.\n.\n#\n.\n.\n.\n");

    // A table with and without its header loses the same bottom row.
    for (const char* name : {"tall", "headed"}) {
        SCOPED_TRACE(name);
        const Result tall =
            Glyphtool({"import", scratch / (std::string(name) + ".h"), "-o", scratch / name});
        ASSERT_EQ(tall.status, 0) << tall.err;
        EXPECT_NE(tall.out.find("(0 skipped, 1 clipped)"), std::string::npos) << tall.out;
        EXPECT_EQ(Rows(scratch / name / "U+0030.dat"), "#\n#\n#\n#\n#\n#\n#\n");
    }
    const Result cut = Glyphtool({"import", scratch / "short.h", "-o", scratch / "short"});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("Short neither starts with 'F'"), std::string::npos) << cut.err;
}

// A GFX font whose opening comment gives an ascent that cuts its ink is
// placed by its ink, and says so.
TEST(HeaderFonts, AnAscentThatCutsTheInkGivesWay) {
    const Scratch scratch;
    WriteBytes(scratch / "low.h", R"(/* Low: ascent 2 */
const uint8_t LowBitmaps[] = {0xFF, 0x80};
const GFXglyph LowGlyphs[] = {{0, 1, 5, 2, 0, -5}};
const GFXfont Low = {(uint8_t *)LowBitmaps, (GFXglyph *)LowGlyphs, 0x41, 0x41, 7};
)");
    const Result low = Glyphtool({"import", scratch / "low.h", "-o", scratch / "low"});
    ASSERT_EQ(low.status, 0) << low.err;
    EXPECT_NE(low.out.find("(ascent 5)"), std::string::npos) << low.out;
    EXPECT_NE(low.err.find("the ascent 2 of its opening comment would cut"), std::string::npos)
        << low.err;
    EXPECT_EQ(Rows(scratch / "low/U+0041.dat"), "#.\n#.\n#.\n#.\n#.\n..\n..\n");
    const Result given =
        Glyphtool({"import", scratch / "low.h", "-o", scratch / "given", "--ascent", "2"});
    EXPECT_NE(given.out.find("(0 skipped, 1 clipped)"), std::string::npos) << given.out;

    // A box of 9 rows whose first and last rows are blank holds 7 rows of ink.
    WriteBytes(scratch / "boxed.h", R"(
const uint8_t BoxedBitmaps[] = {0x7F, 0x00};
const GFXglyph BoxedGlyphs[] = {{0, 1, 9, 2, 0, -8}};
const GFXfont Boxed = {(uint8_t *)BoxedBitmaps, (GFXglyph *)BoxedGlyphs, 0x41, 0x41, 10};
)");
    const Result boxed = Glyphtool({"import", scratch / "boxed.h", "-o", scratch / "boxed"});
    ASSERT_EQ(boxed.status, 0) << boxed.err;
    EXPECT_NE(boxed.out.find("(ascent 7)"), std::string::npos) << boxed.out;
    EXPECT_EQ(Rows(scratch / "boxed/U+0041.dat"), "#.\n#.\n#.\n#.\n#.\n#.\n#.\n");
}

// What the reader cannot take is named, with its line.
TEST(HeaderFonts, RefusalsNameWhatWasFound) {
    const Scratch scratch;
    WriteBytes(scratch / "macro.h",
               "#include <MD_MAX72xx.h>\nMD_MAX72XX::fontType_t F[] = {'F', 1, 65, 65, 8,\n"
               "  1, COLUMN};\n");
    WriteBytes(scratch / "four.h",
               "const uint8_t B[] = {0};\nconst GFXglyph G[] = {{0}};\n\n"
               "const GFXfont F = {(uint8_t *)B, (GFXglyph *)G, 0x41, 0x41};\n");
    WriteBytes(scratch / "nul.h", std::string("/* a \0 in a comment */\n", 24) +
                                      "MD_MAX72XX::fontType_t F[] = {'F', 1, 65, 65, 8, 1, 1};\n");
    WriteBytes(scratch / "offset.h",
               "const uint8_t B[] = {0};\n"
               "const GFXglyph G[] = {\n  {0, 1, 1, 2, 0, -129}};\n"
               "const GFXfont F = {(uint8_t *)B, (GFXglyph *)G, 0x41, 0x41, 7};\n");
    std::string large = "MD_MAX72XX::fontType_t F[] = {'F', 1, 65, 65, 8, 1, 1};\n";
    large.resize((32 << 20) + 1, ' ');
    WriteBytes(scratch / "large.h", large);
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const Case cases[] = {
        {{"import", scratch / "macro.h"},
         "holds the name COLUMN (line 3), which this file does not define as a number"},
        {{"import", scratch / "four.h"}, "line 4: the GFXfont F holds 4 items, not the 5"},
        {{"import", scratch / "offset.h"}, "holds a value outside -128 to 127 (line 3)"},
        {{"import", scratch / "nul.h"}, "nor text (a NUL byte on line 1)"},
        {{"import", scratch / "large.h"}, "larger than the 32 MiB a C header may take"},
        {{"import", scratch / "macro.h", "--define", "COLUMN=256"}, "outside 0 to 255 (line 3)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", scratch / "out"});
        const Result run = Glyphtool(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(scratch / "out"));
    }
    const Result defined = Glyphtool(
        {"import", scratch / "macro.h", "--define", "COLUMN=0x41 + 1", "-o", scratch / "defined"});
    ASSERT_EQ(defined.status, 0) << defined.err;
    EXPECT_EQ(Rows(scratch / "defined/U+0041.dat"), ".\n#\n.\n.\n.\n.\n#\n");
}

// Each header format reads only its own kind of font: a fault in a font of
// the other kind is that format's business, and --font picks across both.
TEST(HeaderFonts, EachFormatReadsOnlyItsOwnKind) {
    const Scratch scratch;
    WriteBytes(scratch / "short.h",
               "MD_MAX72XX::fontType_t Short[] = {'F', 1, 65, 70, 8, 1, 0x01};\n");
    WriteBytes(scratch / "both.h", std::string(R"(
const uint8_t TBitmaps[] = {0xE0};
const GFXglyph TGlyphs[] = {{0, 3, 1, 4, 0, -2}};
const GFXfont T = {(uint8_t *)TBitmaps, (GFXglyph *)TGlyphs, 0x41, 0x41, 7};
MD_MAX72XX::fontType_t M[] = {'F', 1, 66, 66, 8, 1, 0x01};
)"));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string said;  // in the error, or in the output when it is read
    };
    const Case cases[] = {
        {{scratch / "short.h", "--from", "gfx"}, 1, ": not a C header holding an Adafruit GFX"},
        {{scratch / "short.h", "--from", "max72xx"}, 1, "Short ends at 0x42"},
        {{scratch / "both.h"}, 1, "holds 2 fonts (T, M); --font NAME picks one"},
        {{scratch / "both.h", "--from", "gfx"}, 1, "holds 2 fonts (T, M)"},
        {{scratch / "both.h", "--from", "max72xx", "--font", "T"},
         1,
         ": not a C header holding an MD_MAX72XX table"},
        {{scratch / "both.h", "--font", "M"}, 0, "read its MD_MAX72XX font M"},
        {{scratch / "both.h", "--from", "gfx", "--font", "T"}, 0, "read its GFX font T"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string out = scratch / ("out" + std::to_string(n++));
        SCOPED_TRACE(c.said);
        std::vector<std::string> args = {"import"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"-o", out});
        const Result run = Glyphtool(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.said), std::string::npos)
            << run.out << run.err;
        EXPECT_EQ(fs::exists(out), c.status == 0);
    }
}

}  // namespace
}  // namespace testing_glyphtool
