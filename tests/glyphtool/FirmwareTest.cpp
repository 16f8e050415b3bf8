#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "Glyphtool.h"
#include "LibraryProgram.h"
#include "Refusal.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";

// The structures of the Adafruit GFX library's gfxfont.h, and the walk of a
// glyph's bitmap that Adafruit_GFX::drawChar makes onto a GFXcanvas1, with
// the cursor on the baseline and moved on by each glyph's xAdvance.
const char* const GfxLibrary = R"(#pragma once
#include <stdint.h>
#define PROGMEM
typedef struct { uint16_t bitmapOffset; uint8_t width, height, xAdvance; int8_t xOffset, yOffset; } GFXglyph;
typedef struct { uint8_t *bitmap; GFXglyph *glyph; uint16_t first, last; uint8_t yAdvance; } GFXfont;
)";
const char* const GfxDraw = R"(#include "font.h"
#include <stdio.h>
static char canvas[7][2000];
static void drawPixel(int x, int y) { if (x >= 0 && x < 2000 && y >= 0 && y < 7) canvas[y][x] = 1; }
int main(int argc, char** argv) {
    const GFXfont* font = &FONT;
    int cursor = 0;
    (void)argc;
    for (const unsigned char* p = (const unsigned char*)argv[1]; *p; ++p) {
        if (*p < font->first || *p > font->last) continue;
        const GFXglyph* glyph = &font->glyph[*p - font->first];
        unsigned offset = glyph->bitmapOffset;
        uint8_t bits = 0, bit = 0;
        if (glyph->width > 0 && glyph->height > 0)
            for (int yy = 0; yy < glyph->height; yy++)
                for (int xx = 0; xx < glyph->width; xx++) {
                    if (!(bit++ & 7)) bits = font->bitmap[offset++];
                    if (bits & 0x80) drawPixel(cursor + glyph->xOffset + xx, BASELINE + glyph->yOffset + yy);
                    bits <<= 1;
                }
        cursor += glyph->xAdvance;
    }
    for (int y = 0; y < 7; y++) {
        for (int x = 0; x < cursor; x++) putchar(canvas[y][x] ? '#' : '.');
        putchar('\n');
    }
    return 0;
}
)";

// The MD_MAX72XX font table as getChar() walks it: the header, then each
// code's width and columns, from the first code on.
const char* const Max72xxLibrary = R"(#pragma once
#include <stdint.h>
#define PROGMEM
class MD_MAX72XX { public: typedef const uint8_t fontType_t; };
)";
const char* const Max72xxDump = R"(#include "font.h"
#include <stdio.h>
static uint8_t getChar(const uint8_t* font, unsigned c, uint8_t size, uint8_t* buf) {
    if (font[0] != 'F') return 0;
    const unsigned two = font[1] == 2;
    const unsigned first = two ? font[2] << 8 | font[3] : font[2];
    const unsigned last = two ? font[4] << 8 | font[5] : font[3];
    unsigned at = two ? 7 : 5;
    if (c < first || c > last) return 0;
    for (unsigned k = first; k < c; k++) at += font[at] + 1;
    const uint8_t width = font[at++];
    for (unsigned i = 0; i < width && i < size; i++) buf[i] = font[at + i];
    return width;
}
int main() {
    uint8_t columns[255];
    for (unsigned c = 0; c <= 0xFFFF; c++) {
        const uint8_t width = getChar(FONT, c, sizeof columns, columns);
        if (width == 0) continue;
        printf("%04X", c);
        for (unsigned i = 0; i < width; i++) printf(" %02X", columns[i]);
        printf("\n");
    }
    return 0;
}
)";

// A folder of glyphs of every width from 0 to 16 at every other code from
// `first`, so that the run has holes, and what each file holds.
std::map<char32_t, std::string> WidthsWithHoles(const fs::path& dir, char32_t first) {
    fs::create_directories(dir);
    std::mt19937 random(12);
    std::map<char32_t, std::string> files;
    for (int width = 0; width <= 16; ++width) {
        const char32_t cp = first + 2 * static_cast<char32_t>(width);
        files[cp] = RandomGlyphFile(width, random);
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X.dat", static_cast<unsigned>(cp));
        WriteBytes(dir / name, files[cp]);
    }
    return files;
}

std::string TextOf(const std::map<char32_t, std::string>& files) {
    std::string text;
    for (const auto& [cp, bytes] : files) text += static_cast<char>(cp);
    return text;
}

// GFXcanvas1 sets exactly the pixels that render prints, for a real font and
// for every width, at the default ascent and another.
TEST(Firmware, GfxFontsDrawWhatRenderPrints) {
    const Scratch scratch;
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", scratch / "5x7", "--chars", "0x20-0x7E"}).status,
              0);
    const auto widths = WidthsWithHoles(scratch / "widths", 0x41);
    struct Case {
        fs::path dir;
        std::string text;
        std::string ascent;
    };
    for (const Case& c : {Case{scratch / "5x7", "Hello, gjpqy!", "6"},
                          Case{scratch / "widths", TextOf(widths), "6"},
                          Case{scratch / "widths", TextOf(widths), "2"}}) {
        SCOPED_TRACE(c.dir.string() + " ascent " + c.ascent);
        const Result header = Glyphtool(
            {"export", "gfx", c.dir, "-o", "-", "--name", "tst_font", "--ascent", c.ascent});
        ASSERT_EQ(header.status, 0) << header.err;
        const Scratch build;
        const std::string drawn =
            RunWithLibrary(build, header.out, "Adafruit_GFX.h", GfxLibrary, GfxDraw,
                           "-DFONT=tst_font -DBASELINE=" + c.ascent, c.text);
        EXPECT_EQ(drawn, Glyphtool({"render", c.dir, c.text}).out);
    }
}

// getChar() gives every glyph's columns back, in both versions of the header.
TEST(Firmware, Max72xxTablesGiveBackEveryGlyphsColumns) {
    for (const char32_t first : {U'A', char32_t{0x1F0}}) {
        SCOPED_TRACE(static_cast<unsigned>(first));
        const Scratch scratch;
        const auto files = WidthsWithHoles(scratch / "font", first);
        const Result header =
            Glyphtool({"export", "max72xx", scratch / "font", "-o", "-", "--name", "tst"});
        ASSERT_EQ(header.status, 0) << header.err;
        EXPECT_NE(header.out.find(first > 0xFF ? "'F', 2, 0x01, 0xF0, 0x02, 0x10, 8,"
                                               : "'F', 1, 65, 97, 8,"),
                  std::string::npos)
            << header.out;
        std::string expected;
        for (const auto& [cp, bytes] : files) {
            const int width = bytes[0];
            if (width == 0) continue;
            char line[16];
            std::snprintf(line, sizeof line, "%04X", static_cast<unsigned>(cp));
            expected += line;
            for (int col = 0; col < width; ++col) {
                unsigned column = 0;
                for (int row = 0; row < 7; ++row) {
                    const int bit = width <= 8 ? 7 - col : col < 8 ? 7 - col : 15 - col;
                    const std::size_t byte = width <= 8 ? 4 + row : 4 + 2 * row + (col < 8 ? 0 : 1);
                    if ((static_cast<unsigned char>(bytes[byte]) >> bit) & 1) column |= 1u << row;
                }
                std::snprintf(line, sizeof line, " %02X", column);
                expected += line;
            }
            expected += "\n";
        }
        const Scratch build;
        EXPECT_EQ(RunWithLibrary(build, header.out, "MD_MAX72xx.h", Max72xxLibrary, Max72xxDump,
                                 "-DFONT=tst"),
                  expected);
    }
}

// Both formats import back to the same files, all but the width-0 glyph,
// which reads as a hole; export names it, and counts the holes, in one line
// each.
TEST(Firmware, HeadersImportBackToTheSameGlyphFiles) {
    for (const std::string format : {"gfx", "max72xx"}) {
        for (const char32_t first : {U'A', char32_t{0x1F0}}) {
            SCOPED_TRACE(format + " from " + std::to_string(first));
            const Scratch scratch;
            const auto files = WidthsWithHoles(scratch / "font", first);
            const Result header =
                Glyphtool({"export", format, scratch / "font", "-o", scratch / "font.h"});
            ASSERT_EQ(header.status, 0) << header.err;
            const std::size_t lines = first > 0xFF && format == "gfx" ? 3 : 2;
            EXPECT_EQ(std::count(header.err.begin(), header.err.end(), '\n'), lines) << header.err;
            EXPECT_NE(header.err.find("16 of the codes"), std::string::npos) << header.err;
            EXPECT_NE(header.err.find("has width 0"), std::string::npos) << header.err;

            const Result import = Glyphtool({"import", scratch / "font.h", "-o", scratch / "back"});
            ASSERT_EQ(import.status, 0) << import.err;
            auto expected = Snapshot(scratch / "font");
            expected.erase(expected.begin());  // the width-0 glyph, the lowest code
            EXPECT_EQ(Snapshot(scratch / "back"), expected);
        }
    }
}

// Headers written by hand, as the libraries' own fonts are: casts, both kinds
// of comment, character and octal literals, and an extension inside an #if
// block after the glyphs the range needs.
TEST(Firmware, HandWrittenHeadersComeInWhole) {
    const Scratch scratch;
    WriteBytes(scratch / "tiny.h", R"(#include <Adafruit_GFX.h>
// Tiny: a font in the style of fontconvert.
/* An ascent 2 said here is not the opening comment's: the highest top gives 5. */
namespace fonts {
const uint8_t TinyBitmaps[] PROGMEM = {
  0xF0, /* 'b' */ 0x88, 0xE9, 0xE0, 0xD0, 0xC0, 0100 };
const GFXglyph TinyGlyphs[] PROGMEM = {
  {     0,   1,   1,   2,    0,   -1 },   // 0x61 'a'
  {     1,   4,   5,   5,    0,   -5 },   // 0x62 'b'
  {     0,   0,   0,   0,    0,    0 },   // 0x63 'c'
  {     4,   2,   2,   3,    0,    0 },   // 0x64 'd' below the baseline
  {     5,   2,   1,   3,   -1,   -1 },   // 0x65 'e', half left of its cell
#if (TINY_USE_EXTENDED)
  {     0,   9,   9,   9,    0,   -9 },
#endif
};
const GFXfont Tiny PROGMEM = {(uint8_t  *)TinyBitmaps, (GFXglyph *)TinyGlyphs, 0x61, 0x65, 7};
}
)");
    WriteBytes(scratch / "parola.h", R"(extern "C" {
MD_MAX72XX::fontType_t _sys[] PROGMEM = {
  'F', 1, '\x30', '\062', 8,
  3, 0x3e, 0x41, 0x3e,  // '0'
  '\0',                 // '1' is missing
  2, 0x7f, 0x80,        // '2', with a pixel below row 6
};
}
)");
    const Result tiny = Glyphtool({"import", scratch / "tiny.h", "-o", scratch / "tiny"});
    ASSERT_EQ(tiny.status, 0) << tiny.err;
    EXPECT_NE(tiny.out.find("GFX font Tiny (ascent 5)"), std::string::npos) << tiny.out;
    EXPECT_NE(tiny.out.find("(0 skipped, 1 clipped)"), std::string::npos) << tiny.out;
    EXPECT_EQ(Snapshot(scratch / "tiny").size(), 4u);
    EXPECT_EQ(
        Glyphtool({"show", scratch / "tiny/U+0065.dat"}).out,
        (scratch / "tiny/U+0065.dat").string() + ": width 3\n...\n...\n...\n...\n#..\n...\n...\n");
    EXPECT_EQ(Glyphtool({"show", scratch / "tiny/U+0062.dat"}).out,
              (scratch / "tiny/U+0062.dat").string() +
                  ": width 5\n#....\n#....\n###..\n#..#.\n###..\n.....\n.....\n");
    EXPECT_EQ(
        Glyphtool({"show", scratch / "tiny/U+0064.dat"}).out,
        (scratch / "tiny/U+0064.dat").string() + ": width 3\n...\n...\n...\n...\n...\n##.\n.#.\n");

    const Result parola = Glyphtool({"import", scratch / "parola.h", "-o", scratch / "parola"});
    ASSERT_EQ(parola.status, 0) << parola.err;
    EXPECT_NE(parola.out.find("(0 skipped, 1 clipped)"), std::string::npos) << parola.out;
    EXPECT_EQ(Glyphtool({"show", scratch / "parola/U+0030.dat"}).out,
              (scratch / "parola/U+0030.dat").string() +
                  ": width 3\n.#.\n#.#\n#.#\n#.#\n#.#\n#.#\n.#.\n");
    EXPECT_FALSE(fs::exists(scratch / "parola/U+0031.dat"));
}

// What cannot be exported or imported fails with one line and writes
// nothing.
TEST(Firmware, RefusalsSayWhyInOneLineAndWriteNothing) {
    const Scratch scratch;
    fs::create_directory(scratch / "astral");
    WriteBytes(scratch / "astral/U+1F600.dat", std::string("\x03\x00\x07\x00\0\0\0\0\0\0\0", 11));
    WriteBytes(scratch / "tall.h", R"(#include <Adafruit_GFX.h>
const uint8_t TallBitmaps[] PROGMEM = {0xFF, 0xFF};
const GFXglyph TallGlyphs[] PROGMEM = {{0, 1, 9, 2, 0, -8}};
const GFXfont Tall PROGMEM = {(uint8_t *)TallBitmaps, (GFXglyph *)TallGlyphs, 0x41, 0x41, 10};
)");
    WriteBytes(scratch / "two.h", ReadBytes(scratch / "tall.h") + R"(
MD_MAX72XX::fontType_t Small[] PROGMEM = {'F', 1, 65, 65, 8, 1, 0x01};
)");
    WriteBytes(
        scratch / "cut.h",
        "#include <MD_MAX72xx.h>\nMD_MAX72XX::fontType_t Cut[] = {'F', 1, 65, 70, 8,\n  2, 0x01,");
    WriteBytes(scratch / "short.h",
               "MD_MAX72XX::fontType_t Short[] = {'F', 1, 65, 70, 8, 1, 0x01};");
    WriteBytes(scratch / "columns.h",
               "MD_MAX72XX::fontType_t Cols[] = {'F', 1, 65, 65, 8, 3, 0x01};");
    WriteBytes(scratch / "wide.h", R"(
const uint8_t WideBitmaps[] = {0xFF};
const GFXglyph WideGlyphs[] = {{0, 300, 1, 2, 0, -1}};
const GFXfont Wide = {(uint8_t *)WideBitmaps, (GFXglyph *)WideGlyphs, 0x41, 0x41, 10};
)");
    WriteBytes(scratch / "prose.txt", "Don't import me; I am not a font.\n");
    // 4,700 full glyphs of 14 bytes each pass the 65,535 bytes a GFX bitmap can address.
    fs::create_directory(scratch / "heavy");
    const std::string full = std::string("\x10\x00\x07\x00", 4) + std::string(14, '\xFF');
    for (unsigned cp = 0x100; cp < 0x100 + 4700; ++cp) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X.dat", cp);
        WriteBytes(scratch / "heavy" / name, full);
    }
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const Case cases[] = {
        {{"export", "gfx", scratch / "astral", "-o", scratch / "out.h"}, "reach U+FFFF at most"},
        {{"export", "max72xx", scratch / "astral", "-o", scratch / "out.h"},
         "reach U+FFFF at most"},
        {{"export", "gfx", scratch / "heavy", "-o", scratch / "out.h"}, "65800 bytes, more than"},
        {{"import", scratch / "tall.h", "-o", scratch / "out"}, "span 9 rows"},
        {{"import", scratch / "two.h", "-o", scratch / "out"}, "(Tall, Small); --font NAME"},
        {{"import", scratch / "two.h", "-o", scratch / "out", "--font", "Big"},
         "holds no font Big"},
        {{"import", scratch / "cut.h", "-o", scratch / "out"}, "line 3: the file ends inside"},
        {{"import", scratch / "short.h", "-o", scratch / "out"}, "Short ends at 0x42"},
        {{"import", scratch / "columns.h", "-o", scratch / "out"}, "inside the columns of 0x41"},
        {{"import", scratch / "wide.h", "-o", scratch / "out"}, "holds a value outside 0 to 255"},
        {{"import", scratch / "prose.txt", "-o", scratch / "out"},
         "neither a one-bit BDF font, a font FreeType"},
        {{"import", Misc5x7, "-o", scratch / "out", "--ascent", "3"}, "are for C headers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const Result run = Glyphtool(c.args);
        ExpectRefusal(run, c.reason);
        EXPECT_FALSE(fs::exists(scratch / "out")) << run.err;
        EXPECT_FALSE(fs::exists(scratch / "out.h"));
    }
    const Result small =
        Glyphtool({"import", scratch / "two.h", "-o", scratch / "small", "--font", "Small"});
    EXPECT_EQ(small.status, 0) << small.err;
}

}  // namespace
}  // namespace testing_glyphtool
