#include <gtest/gtest.h>

#include <algorithm>

#include "Glyphtool.h"
#include "LibraryProgram.h"
#include "Refusal.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";

// Adafruit_GFX::drawChar of the classic font as the library walks it: with
// cp437(false) a code from 176 up draws the next one; each code's columns,
// bit 0 at the top, then a blank column (QMK's OLED driver draws its 6 bytes
// and nothing more). Prints the 8 rows, without the last glyph's blank column.
const char* const ClassicDraw = R"(#include "font.h"
#include <stdio.h>
static char canvas[8][2000];
int main(int argc, char** argv) {
    int x = 0;
    (void)argc;
    for (const unsigned char* p = (const unsigned char*)argv[1]; *p; ++p) {
        unsigned c = *p;
        if (!CP437 && c >= 176) c++;
        for (int i = 0; i < BYTES; i++, x++)
            for (int j = 0; j < 8; j++)
                if (font[c * BYTES + i] >> j & 1) canvas[j][x] = 1;
        x += BYTES == 5 ? 1 : 0;
    }
    for (int y = 0; y < 8; y++) {
        for (int i = 0; i < x - 1; i++) putchar(canvas[y][i] ? '#' : '.');
        putchar('\n');
    }
    return 0;
}
)";

// SSD1306Ascii::write() for a font of at most 8 rows: a size below 2 is a
// fixed-width font, else the widths table gives each glyph's columns and
// their offset, and the bytes shift right by 8 - height; one blank column
// follows every glyph but in a font of size 1.
const char* const GlcdDraw = R"(#include "font.h"
#include <stdio.h>
static char canvas[8][2000];
int main(int argc, char** argv) {
    const uint8_t* f = FONT;
    const unsigned size = f[0] << 8 | f[1], first = f[4], count = f[5];
    unsigned w = f[2];
    const unsigned h = f[3], s = size == 1 ? 0 : 1;
    int x = 0;
    (void)argc;
    for (const unsigned char* p = (const unsigned char*)argv[1]; *p; ++p) {
        if (*p < first || *p >= first + count) return 1;
        const unsigned ch = *p - first;
        const uint8_t* base = f + 6;
        unsigned shift = 0;
        if (size < 2) {
            base += w * ch;
        } else {
            if (h & 7) shift = 8 - (h & 7);
            unsigned index = 0;
            for (unsigned i = 0; i < ch; i++) index += base[i];
            w = base[ch];
            base += index + count;
        }
        for (unsigned c = 0; c < w; c++, x++)
            for (int j = 0; j < 8; j++)
                if ((base[c] >> shift) >> j & 1) canvas[j][x] = 1;
        x += s;
    }
    for (int y = 0; y < 8; y++) {
        for (int i = 0; i < x - 1; i++) putchar(canvas[y][i] ? '#' : '.');
        putchar('\n');
    }
    return 0;
}
)";

const char* const Stdint = "#pragma once\n#include <stdint.h>\n";

// What render prints, with the blank eighth row the libraries draw below it.
std::string RenderedRows(const fs::path& dir, const std::string& text) {
    const Result run = Glyphtool({"render", dir, text, "--spacing", "1"});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto width = run.out.find('\n');
    return run.out + std::string(width, '.') + "\n";
}

// A folder of random glyphs at the codes of `text`, widths going round
// from `low` to `high`.
void RandomFolder(const fs::path& dir, const std::string& text, int low, int high) {
    fs::create_directories(dir);
    std::mt19937 random(7);
    int width = low;
    for (const char c : text) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X.dat", static_cast<unsigned char>(c));
        WriteBytes(dir / name, RandomGlyphFile(width, random));
        width = width == high ? low : width + 1;
    }
}

class ColumnFonts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        scratch_ = new Scratch;
        ASSERT_EQ(
            Glyphtool({"import", Misc5x7, "-o", *scratch_ / "5x7", "--chars", "0x20-0xFF"}).status,
            0);
    }
    static void TearDownTestSuite() { delete scratch_; }
    static fs::path Font5x7() { return *scratch_ / "5x7"; }

    static Scratch* scratch_;
};
Scratch* ColumnFonts::scratch_ = nullptr;

// The library's drawing of each table sets the pixels render prints, through
// the code page the table was written in.
TEST_F(ColumnFonts, ClassicTablesDrawWhatRenderPrints) {
    struct Case {
        std::string bytes, codepage, cp437;
        std::string drawn;  // the codes the sketch prints
        std::string text;   // the same text in UTF-8
    };
    for (const Case& c : {
             Case{"5", "cp437", "1",
                  "Caf\x82 \x9c"
                  "5 jq",
                  "Café £5 jq"},
             Case{"5", "latin1", "1",
                  "Caf\xe9 \xa3"
                  "5 jq",
                  "Café £5 jq"},
             Case{"5", "cp437", "0", "A\xe0", "Aß"},  // cp437(false) draws 0xE1 for 0xE0
             Case{"6", "cp437", "1",
                  "Caf\x82 \x9c"
                  "5 jq",
                  "Café £5 jq"},
         }) {
        SCOPED_TRACE(c.bytes + " " + c.codepage + " " + c.cp437);
        const Result table = Glyphtool({"export", "gfx-classic", Font5x7(), "-o", "-", "--bytes",
                                        c.bytes, "--codepage", c.codepage});
        ASSERT_EQ(table.status, 0) << table.err;
        const Scratch build;
        EXPECT_EQ(RunWithLibrary(build, table.out, "unused.h", Stdint, ClassicDraw,
                                 "-DCP437=" + c.cp437 + " -DBYTES=" + c.bytes, c.drawn),
                  RenderedRows(Font5x7(), c.text));
    }
}

TEST_F(ColumnFonts, GlcdFontsDrawWhatRenderPrints) {
    const Scratch scratch;
    const std::string text = "Hello, gjpqy!";
    RandomFolder(scratch / "variable", text, 1, 16);
    struct Case {
        fs::path dir;
        std::string kind;
    };
    for (const Case& c : {Case{Font5x7(), "fixed"}, Case{scratch / "variable", "variable"}}) {
        SCOPED_TRACE(c.kind);
        const Result header = Glyphtool(
            {"export", "glcd", c.dir, "-o", "-", "--name", "tst", "--chars", "0x20-0x7E"});
        ASSERT_EQ(header.status, 0) << header.err;
        EXPECT_NE(header.out.find("A " + c.kind + "-width font"), std::string::npos);
        const Scratch build;
        EXPECT_EQ(
            RunWithLibrary(build, header.out, "unused.h", Stdint, GlcdDraw, "-DFONT=tst", text),
            RenderedRows(c.dir, text));
    }
}

// Export, import and export again give the same bytes, and the folder back.
TEST_F(ColumnFonts, RoundTripsByteForByte) {
    const Scratch scratch;
    RandomFolder(scratch / "narrow", "0123456789", 1, 5);
    RandomFolder(scratch / "variable", "ABCDEFGHIJKLMNOP", 1, 16);
    struct Case {
        fs::path dir;
        std::vector<std::string> exportOptions, importOptions;
    };
    const Case cases[] = {
        {Font5x7(), {"gfx-classic"}, {}},
        {Font5x7(), {"gfx-classic", "--codepage", "latin1"}, {"--codepage", "latin1"}},
        {Font5x7(), {"gfx-classic", "--bytes", "6"}, {}},
        {scratch / "narrow", {"gfx-classic"}, {}},
        {Font5x7(), {"glcd", "--name", "tst", "--chars", "0x20-0x7E"}, {}},
        {scratch / "variable", {"glcd", "--name", "tst"}, {}},  // last: its folder is checked below
    };
    const auto exportTo = [](const Case& c, const fs::path& dir, const fs::path& out) {
        std::vector<std::string> args = {"export", c.exportOptions.front(), dir, "-o", out};
        args.insert(args.end(), c.exportOptions.begin() + 1, c.exportOptions.end());
        const Result run = Glyphtool(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return ReadBytes(out);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exportOptions.front() + " " + c.dir.string());
        fs::remove_all(scratch / "back");
        const std::string first = exportTo(c, c.dir, scratch / "one.h");
        std::vector<std::string> import = {"import", scratch / "one.h", "-o", scratch / "back"};
        import.insert(import.end(), c.importOptions.begin(), c.importOptions.end());
        const Result in = Glyphtool(import);
        ASSERT_EQ(in.status, 0) << in.err;
        EXPECT_EQ(exportTo(c, scratch / "back", scratch / "two.h"), first);
    }
    EXPECT_EQ(Snapshot(scratch / "back"), Snapshot(scratch / "variable"));
}

std::string Shown(const fs::path& file) {
    const std::string out = Glyphtool({"show", file}).out;
    return out.substr(out.find(": ") + 2);
}

// Fonts in the libraries' own spellings: GLCDFONTDECL and a variable-width
// font of 8 rows whose ink fits 7, PROGMEM and a fixed-width one, the classic
// table with a descender in bit 7.
TEST(ColumnFontFiles, LibrarySpellingsComeIn) {
    const Scratch scratch;
    WriteBytes(scratch / "var8.h", R"(#include "allFonts.h"
GLCDFONTDECL ( Var8 ) = {
    0x00, 0x0C, // size
    0x03, // width
    0x08, // height
    0x41, // first char
    0x03, // char count
    2, 0, 3, // widths: 'B' is missing
    0x02, 0xFE, // A: rows 1 to 7, which become the 7 rows
    0x80, 0x80, 0x80, // C: its bottom row
};
)");
    WriteBytes(scratch / "fixed.h", R"(static const uint8_t Fixed[] PROGMEM = {
    0x0, 0x0, 2, 7, '0', 2,
    0x7F, 0x41, // '0'
    0x00, 0x00, // '1' blank
};
)");
    std::string classic = "static const unsigned char font[] PROGMEM = {\n";
    for (int code = 0; code < 256; ++code)
        classic += code == 'g'   ? "0x98, 0xA4, 0xA4, 0x7C, 0x00,\n"
                   : code == 'T' ? "0x01, 0x01, 0x7F, 0x01, 0x01,\n"
                                 : "0, 0, 0, 0, 0,\n";
    WriteBytes(scratch / "glcdfont.c", classic + "};\n");
    struct Case {
        std::string file, source, glyph, shown;
    };
    for (const Case& c : {
             Case{"var8.h", "glcd font Var8 (variable width)", "U+0041.dat",
                  "width 2\n##\n.#\n.#\n.#\n.#\n.#\n.#\n"},
             Case{"var8.h", "(0 skipped, 0 clipped)", "U+0043.dat",
                  "width 3\n...\n...\n...\n...\n...\n...\n###\n"},
             Case{"fixed.h", "glcd font Fixed (fixed width)", "U+0030.dat",
                  "width 2\n##\n#.\n#.\n#.\n#.\n#.\n##\n"},
             Case{"glcdfont.c", "(0 skipped, 1 clipped)", "U+0067.dat",
                  "width 5\n.....\n.....\n.###.\n#..#.\n#..#.\n.###.\n...#.\n"},
         }) {
        SCOPED_TRACE(c.file);
        fs::remove_all(scratch / "out");
        const Result run = Glyphtool({"import", scratch / c.file, "-o", scratch / "out"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(c.source), std::string::npos) << run.out;
        EXPECT_EQ(Shown(scratch / "out" / c.glyph), c.shown);
    }
    EXPECT_FALSE(fs::exists(scratch / "out/U+0042.dat"));
    EXPECT_FALSE(fs::exists(scratch / "out/U+0031.dat"));
}

TEST(ColumnFontFiles, RefusalsSayWhyInOneLineAndWriteNothing) {
    const Scratch scratch;
    RandomFolder(scratch / "wide", "ABC", 5, 7);
    RandomFolder(scratch / "high", "A\xc4", 3, 3);
    fs::rename(scratch / "high/U+00C4.dat", scratch / "high/U+0141.dat");
    WriteBytes(scratch / "tall.h", "GLCDFONTDECL(Tall) = {0, 0, 1, 14, 65, 1, 0xFF, 0xFF};\n");
    WriteBytes(scratch / "inky.h", "static const uint8_t Inky[] = {0, 0, 1, 8, 65, 1, 0xFF};\n");
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const Case cases[] = {
        {{"export", "gfx-classic", scratch / "wide", "-o", scratch / "out.h"},
         "wider: 'B' (U+0042) (6), 'C' (U+0043) (7)"},
        {{"export", "glcd", scratch / "high", "-o", scratch / "out.h"}, "not U+0141"},
        {{"import", scratch / "tall.h", "-o", scratch / "out"}, "Tall is 14 rows high"},
        {{"import", scratch / "inky.h", "-o", scratch / "out"}, "ink spans 8 rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const Result run = Glyphtool(c.args);
        ExpectRefusal(run, c.reason);
        EXPECT_FALSE(fs::exists(scratch / "out"));
        EXPECT_FALSE(fs::exists(scratch / "out.h"));
    }
}

}  // namespace
}  // namespace testing_glyphtool
