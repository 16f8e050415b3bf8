#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <map>

#include "Glyphtool.h"
#include "Refusal.h"
#include "font/Unicode.h"
#include "glyph/CellGrid.h"
#include "glyph/GlyphFile.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";

// A stand-in for u8g2's header, and u8g2's font format as its documentation and u8g2_font.c
// describe it: the 23-byte header, a glyph found from the 'A' or 'a' start for codes below 0x100
// and through the lookup table above, its fields read from the least significant bit, and its runs
// of zeros and ones filling its box row after row, drawn with the cursor on the baseline (row
// BASELINE of the 7) and moved on by dx. Pixels outside the 7 rows are reported, not dropped.
const char* const U8g2Header = R"(#pragma once
#include <stdint.h>
#define U8G2_FONT_SECTION(name)
)";
const char* const U8g2Draw = R"(#include <stdio.h>
#include "u8g2.h"
#include "font.c"
static const uint8_t* F;
static const uint8_t* at;
static unsigned bit;
static unsigned Get(unsigned n) {
    unsigned v = 0, i;
    for (i = 0; i < n; i++, bit++) v |= (unsigned)(at[bit / 8] >> (bit % 8) & 1) << i;
    return v;
}
static int Signed(unsigned n) { return (int)Get(n) - (1 << (n - 1)); }
static unsigned Word(const uint8_t* p) { return (unsigned)p[0] << 8 | p[1]; }
static const uint8_t* Find(unsigned code) {
    const uint8_t* p = F + 23;
    if (code <= 255) {
        if (code >= 'a') p += Word(F + 19);
        else if (code >= 'A') p += Word(F + 17);
        for (; p[1] != 0; p += p[1])
            if (p[0] == code) return p + 2;
        return 0;
    } else {
        const uint8_t* table = F + 23 + Word(F + 21);
        unsigned e;
        p = table;
        do {
            p += Word(table);
            e = Word(table + 2);
            table += 4;
        } while (e < code);
        for (; (e = Word(p)) != 0; p += p[2])
            if (e == code) return p + 3;
        return 0;
    }
}
static char canvas[21][3000];
static int w, h, lx, ly, left, top;
static void Run(unsigned n, int set) {
    for (; n > 0; n--) {
        if (set) canvas[top + ly][left + lx] = 1;
        if (++lx == w) lx = 0, ly++;
    }
}
static unsigned char text[4096];
int main(int argc, char** argv) {
    FILE* in = fopen(argv[1], "rb");
    const unsigned char* s = text;
    int cursor = 40, x, y, dx, row, col;
    (void)argc;
    if (!in || fread(text, 1, sizeof text - 1, in) == 0) return 1;
    fclose(in);
    F = FONT;
    while (*s) {
        unsigned code = *s++;
        if (code >= 0xE0) code = (code & 15) << 12 | (s[0] & 63u) << 6 | (s[1] & 63u), s += 2;
        else if (code >= 0xC0) code = (code & 31) << 6 | (s[0] & 63u), s += 1;
        at = Find(code);
        if (!at) continue;
        bit = 0;
        w = (int)Get(F[4]), h = (int)Get(F[5]), x = Signed(F[6]), y = Signed(F[7]);
        dx = Signed(F[8]);
        if (w > 0) {
            left = cursor + x, top = 7 + BASELINE - (h + y), lx = 0, ly = 0;
            for (;;) {
                unsigned a = Get(F[2]), b = Get(F[3]);
                do Run(a, 0), Run(b, 1);
                while (Get(1));
                if (ly >= h) break;
            }
        }
        cursor += dx;
    }
    for (row = 0; row < 21; row++)
        for (col = 0; col < 3000; col++)
            if (canvas[row][col] && (row < 7 || row >= 14 || col < 40 || col >= cursor))
                printf("stray pixel at %d, %d\n", col - 40, row - 7);
    for (row = 7; row < 14; row++) {
        for (col = 40; col < cursor; col++) putchar(canvas[row][col] ? '#' : '.');
        putchar('\n');
    }
    return 0;
}
)";

// Builds the drawing program around a font file, as C and as C++, and
// returns what each prints for `text`, which it reads from a file.
std::vector<std::string> DrawWithU8g2Format(const std::string& source, const std::string& name,
                                            int baseline, const std::string& text) {
    const Scratch scratch;
    WriteBytes(scratch / "font.c", source);
    WriteBytes(scratch / "draw.c", U8g2Draw);
    WriteBytes(scratch / "u8g2.h", U8g2Header);
    WriteBytes(scratch / "text.txt", text);
    const std::string dir = scratch.path().string();
    const std::string defines =
        " -DFONT=" + name + " -DBASELINE=" + std::to_string(baseline) + " -I" + dir + " ";
    std::vector<std::string> drawn;
    for (const std::string& compiler :
         {std::string(C_COMPILER) + " -x c -std=c99", std::string(CXX_COMPILER) + " -x c++"}) {
        const std::string build = compiler + " -Wall -Wextra -Werror -Wno-overlength-strings" +
                                  defines + dir + "/draw.c -o " + dir + "/draw";
        EXPECT_EQ(std::system(build.c_str()), 0) << source;
        EXPECT_EQ(std::system((dir + "/draw " + dir + "/text.txt > " + dir + "/out.txt").c_str()),
                  0);
        drawn.push_back(ReadBytes(scratch / "out.txt"));
    }
    return drawn;
}

// A glyph file from 7 rows of '#' and '.', its width theirs.
std::string GlyphFile(const std::vector<std::string>& rows) {
    const int width = static_cast<int>(rows.front().size());
    glyph::CellGrid grid;
    grid.Initialise(width);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < width; ++col)
            if (rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] == '#')
                grid.Toggle(col, row);
    const auto bytes = glyph::EncodeGlyph(grid, width);
    return {bytes.begin(), bytes.end()};
}

std::string FileName(char32_t cp) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X.dat", static_cast<unsigned>(cp));
    return name;
}

// Glyphs of every width from 0 to 16 that u8g2's runs find hard: full rows
// (runs longer than any field), empty rows inside the box and at its edges,
// single pixels; at codes below 0x100 and, past 0x100, more than the 101
// glyphs a lookup table entry covers. Returns the text of all of them.
std::string HardGlyphs(const fs::path& dir) {
    fs::create_directories(dir);
    std::mt19937 random(22);
    std::string text;
    std::vector<char32_t> codes;
    for (char32_t cp = 0x21; cp <= 0x7E; ++cp) codes.push_back(cp);
    for (char32_t cp = 0x100; cp < 0x100 + 230; ++cp) codes.push_back(cp);
    codes.push_back(0x2190), codes.push_back(0xFFFD);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int width = static_cast<int>(i % 17);
        std::vector<std::string> rows(7, std::string(static_cast<std::size_t>(width), '.'));
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < width; ++col) {
                const auto shape = i % 5;
                const bool set = shape == 0   ? row == 0 || row == 6
                                 : shape == 1 ? row != 3
                                 : shape == 2 ? row == 2 && col == width - 1
                                 : shape == 3 ? true
                                              : random() % 2 == 1;
                if (set) rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = '#';
            }
        WriteBytes(dir / FileName(codes[i]), GlyphFile(rows));
        text += font::EncodeUtf8(codes[i]);
    }
    return text;
}

// Splits text into pieces of `count` characters, so that a drawing stays short.
std::vector<std::string> Pieces(const std::string& text, std::size_t count) {
    std::vector<std::string> pieces(1);
    std::size_t characters = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && characters++ == count)
            pieces.emplace_back(), characters = 1;
        pieces.back() += c;
    }
    return pieces;
}

// What the format's own drawing sets is what render prints: for a real font
// and for glyphs of every width, long runs, empty rows and codes past 0xFF,
// in each build mode and at two ascents; the file compiles as C and as C++.
TEST(U8g2, FontsDrawWhatRenderPrints) {
    const Scratch scratch;
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", scratch / "5x7", "--chars", "0x20-0x7E",
                         "--chars", "0x100-0x17F"})
                  .status,
              0);
    const std::string hard = HardGlyphs(scratch / "hard");
    struct Case {
        fs::path dir;
        std::string text;
        std::string build;
        int ascent;
    };
    const std::string latin =
        "Hello, World! gjpqy {|}~ " + font::EncodeUtf8(0x100) + font::EncodeUtf8(0x17F);
    const Case cases[] = {{scratch / "5x7", latin, "proportional", 6},
                          {scratch / "5x7", latin, "common", 6},
                          {scratch / "5x7", latin, "monospace", 6},
                          {scratch / "hard", hard, "proportional", 6},
                          {scratch / "hard", hard, "common", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dir.string() + " " + c.build + " ascent " + std::to_string(c.ascent));
        const Result source = Glyphtool({"export", "u8g2", c.dir, "-o", "-", "--name", "tst_font",
                                         "--build", c.build, "--ascent", std::to_string(c.ascent)});
        ASSERT_EQ(source.status, 0) << source.err;
        EXPECT_NE(source.out.find("const uint8_t tst_font["), std::string::npos);
        EXPECT_NE(source.out.find("U8G2_FONT_SECTION(\"tst_font\") ="), std::string::npos);
        for (const std::string& piece : Pieces(c.text, 40)) {
            const std::string rendered = Glyphtool({"render", c.dir, piece}).out;
            for (const std::string& drawn :
                 DrawWithU8g2Format(source.out, "tst_font", c.ascent, piece))
                EXPECT_EQ(drawn, rendered) << piece;
        }
    }
}

// Every glyph, of widths 0 to 16 and at codes past 0xFF, imports back to the
// same file, whatever the ascent and build mode that wrote it.
TEST(U8g2, ExportAndImportGiveBackEveryFile) {
    const Scratch scratch;
    HardGlyphs(scratch / "font");
    for (const std::string build : {"proportional", "common"})
        for (const std::string ascent : {"6", "0", "7", "3"}) {
            SCOPED_TRACE(build + " ascent " + ascent);
            const fs::path file = scratch / (build + ascent + ".c");
            const fs::path back = scratch / (build + ascent);
            ASSERT_EQ(Glyphtool({"export", "u8g2", scratch / "font", "-o", file, "--build", build,
                                 "--ascent", ascent})
                          .status,
                      0);
            const Result import = Glyphtool({"import", file, "-o", back});
            ASSERT_EQ(import.status, 0) << import.err;
            EXPECT_NE(import.out.find("(ascent " + ascent + ")"), std::string::npos) << import.out;
            EXPECT_EQ(Snapshot(back), Snapshot(scratch / "font"));
        }
}

// A u8g2 font written the way u8g2's converter writes them, not the way
// glyphtool does: fixed field widths and run widths, boxes with blank
// columns and rows around the ink, repeated pairs and runs split over
// several, glyphs below the baseline, a lookup table every 101 glyphs.
class ConverterStyleFont {
  public:
    struct Glyph {
        char32_t code;
        int x, y, w, h, dx;             // the box, y of its bottom row above the baseline
        std::vector<std::string> rows;  // h rows of w '#' and '.'
    };

    ConverterStyleFont(int zeros, int ones, int fieldBits) : zeros_(zeros), ones_(ones) {
        fields_ = {fieldBits, fieldBits, fieldBits, fieldBits, fieldBits};
    }
    void SetFields(std::array<int, 5> fields) { fields_ = fields; }
    void SetHeaderBounds(int height, int y) { boundsHeight_ = height, boundsY_ = y; }
    void Add(Glyph glyph) { glyphs_.push_back(std::move(glyph)); }

    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint8_t> out(23, 0);
        out[0] = static_cast<std::uint8_t>(glyphs_.size());
        out[2] = static_cast<std::uint8_t>(zeros_), out[3] = static_cast<std::uint8_t>(ones_);
        for (int i = 0; i < 5; ++i) out[4 + i] = static_cast<std::uint8_t>(fields_[i]);
        out[10] = static_cast<std::uint8_t>(boundsHeight_);
        out[12] = static_cast<std::uint8_t>(boundsY_);
        std::size_t i = 0;
        for (; i < glyphs_.size() && glyphs_[i].code < 0x100; ++i) {
            if (glyphs_[i].code == 'A') Word(out, 17, out.size() - 23);
            if (glyphs_[i].code == 'a') Word(out, 19, out.size() - 23);
            Append(out, glyphs_[i]);
        }
        out.push_back(0), out.push_back(0);
        Word(out, 21, out.size() - 23);
        const std::size_t wide = glyphs_.size() - i;
        const std::size_t entries = std::max<std::size_t>(wide / 101, 1);
        const std::size_t table = out.size();
        out.resize(table + 4 * entries);
        std::size_t block = table;
        for (std::size_t n = 0; i < glyphs_.size(); ++i, ++n) {
            if (n % 101 == 0 && n / 101 < entries) {
                const std::size_t entry = table + 4 * (n / 101);
                Word(out, entry, out.size() - block);
                Word(out, entry + 2, n / 101 + 1 == entries ? 0xFFFF : glyphs_[i + 100].code);
                block = out.size();
            }
            Append(out, glyphs_[i]);
        }
        if (wide == 0) Word(out, table, 4), Word(out, table + 2, 0xFFFF);
        out.push_back(0), out.push_back(0);
        return out;
    }

    // The font as C source with octal and hexadecimal escapes, split over lines.
    std::string Source(const std::string& name) const { return SourceOf(Bytes(), name); }
    static std::string SourceOf(const std::vector<std::uint8_t>& bytes, const std::string& name) {
        std::string out = "const uint8_t " + name + "[" + std::to_string(bytes.size()) +
                          "] U8G2_FONT_SECTION(\"" + name + "\") =\n  \"";
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
            char escape[8];
            std::snprintf(escape, sizeof escape, i % 2 == 0 ? "\\%03o" : "\\x%02X", bytes[i]);
            out += escape;
            if (i % 16 == 15) out += "\"\n  \"";
        }
        return out + "\";\n";
    }

  private:
    static void Word(std::vector<std::uint8_t>& out, std::size_t at, std::size_t value) {
        out[at] = static_cast<std::uint8_t>(value >> 8);
        out[at + 1] = static_cast<std::uint8_t>(value);
    }

    struct Bits {
        std::vector<std::uint8_t> bytes;
        std::size_t count = 0;
        void Put(int n, unsigned value) {
            for (int i = 0; i < n; ++i, ++count) {
                if (count % 8 == 0) bytes.push_back(0);
                if ((value >> i & 1) != 0)
                    bytes.back() |= static_cast<std::uint8_t>(1 << count % 8);
            }
        }
    };

    void Append(std::vector<std::uint8_t>& out, const Glyph& g) const {
        Bits bits;
        bits.Put(fields_[0], static_cast<unsigned>(g.w));
        bits.Put(fields_[1], static_cast<unsigned>(g.h));
        bits.Put(fields_[2], static_cast<unsigned>(g.x + (1 << (fields_[2] - 1))));
        bits.Put(fields_[3], static_cast<unsigned>(g.y + (1 << (fields_[3] - 1))));
        bits.Put(fields_[4], static_cast<unsigned>(g.dx + (1 << (fields_[4] - 1))));
        std::vector<unsigned> runs{0};
        bool set = false;
        for (const std::string& row : g.rows)
            for (const char c : row) {
                if ((c == '#') != set) runs.push_back(0), set = !set;
                ++runs.back();
            }
        if (runs.size() % 2 == 1) runs.push_back(0);
        const unsigned mostZeros = (1u << zeros_) - 1, mostOnes = (1u << ones_) - 1;
        bool first = true;
        unsigned lastA = 0, lastB = 0;
        const auto pair = [&](unsigned a, unsigned b) {
            if (!first && a == lastA && b == lastB) return bits.Put(1, 1);
            if (!first) bits.Put(1, 0);
            bits.Put(zeros_, a), bits.Put(ones_, b);
            first = false, lastA = a, lastB = b;
        };
        for (std::size_t i = 0; i < runs.size(); i += 2) {
            unsigned a = runs[i], b = runs[i + 1];
            for (; a > mostZeros; a -= mostZeros) pair(mostZeros, 0);
            for (; b > mostOnes; b -= mostOnes, a = 0) pair(a, mostOnes);
            if (a != 0 || b != 0) pair(a, b);
        }
        bits.Put(1, 0);
        if (g.code >= 0x100) out.push_back(static_cast<std::uint8_t>(g.code >> 8));
        out.push_back(static_cast<std::uint8_t>(g.code));
        out.push_back(static_cast<std::uint8_t>(bits.bytes.size() + (g.code >= 0x100 ? 3 : 2)));
        out.insert(out.end(), bits.bytes.begin(), bits.bytes.end());
    }

    int zeros_, ones_;
    std::array<int, 5> fields_{};
    int boundsHeight_ = 0, boundsY_ = 0;
    std::vector<Glyph> glyphs_;
};

// Rows of a box `w` wide and `h` high with the ink of `shape` inside.
std::vector<std::string> Rows(int w, int h, unsigned shape) {
    std::vector<std::string> rows(static_cast<std::size_t>(h),
                                  std::string(static_cast<std::size_t>(w), '.'));
    for (int r = 1; r + 1 < h; ++r)
        for (int c = 1; c + 1 < w; ++c)
            if ((shape >> ((r * 3 + c) % 16) & 1) != 0 || r == 1)
                rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = '#';
    return rows;
}

// A font that u8g2's converter could have written imports to the glyphs
// u8g2 draws from it, wherever its header puts the box it declares; its ink
// spans 7 rows, 6 above the baseline and 1 below.
TEST(U8g2, ConverterStyleFontsImportToWhatTheyDraw) {
    ConverterStyleFont font(3, 2, 6);
    font.SetHeaderBounds(12, -3);  // claims rows the ink does not reach
    std::string text;
    std::vector<char32_t> codes = {' ', 'A', 'B', 'a', 'g', 'z'};
    for (char32_t cp = 0x400; cp < 0x400 + 210; ++cp) codes.push_back(cp);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int w = 3 + static_cast<int>(i % 10), h = 4 + static_cast<int>(i % 5);
        const int y = -2 + static_cast<int>(i % 3) % 2;  // the box's bottom blank row 2 or 1 below
        font.Add({codes[i], 0, y, codes[i] == ' ' ? 0 : w, h, w + 1,
                  codes[i] == ' ' ? std::vector<std::string>{}
                                  : Rows(w, h, static_cast<unsigned>(i * 2654435761u))});
        text += font::EncodeUtf8(codes[i]);
    }
    const Scratch scratch;
    const std::string source = "#include <u8g2.h>\nconst uint8_t table[] = {1, 2, 3};\n" +
                               font.Source("u8g2_font_other_tr") + font.Source("u8g2_font_test_tf");
    WriteBytes(scratch / "fonts.c", source);
    const Result listed = Glyphtool({"import", scratch / "fonts.c", "-o", scratch / "none"});
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.err.find("(u8g2_font_other_tr, u8g2_font_test_tf); --font NAME"),
              std::string::npos)
        << listed.err;

    const Result import = Glyphtool(
        {"import", scratch / "fonts.c", "-o", scratch / "font", "--font", "u8g2_font_test_tf"});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_NE(import.out.find("u8g2_font_test_tf (ascent 6)"), std::string::npos) << import.out;
    EXPECT_NE(import.out.find("(0 skipped, 0 clipped)"), std::string::npos) << import.out;
    EXPECT_EQ(Snapshot(scratch / "font").size(), codes.size());
    for (const std::string& piece : Pieces(text, 40))
        for (const std::string& drawn : DrawWithU8g2Format(source, "u8g2_font_test_tf", 6, piece))
            EXPECT_EQ(drawn, Glyphtool({"render", scratch / "font", piece}).out) << piece;

    // --ascent places the baseline elsewhere and clips what leaves the rows.
    const Result lower = Glyphtool({"import", scratch / "fonts.c", "-o", scratch / "lower",
                                    "--font", "u8g2_font_test_tf", "--ascent", "5"});
    ASSERT_EQ(lower.status, 0) << lower.err;
    EXPECT_NE(lower.out.find("(ascent 5)"), std::string::npos) << lower.out;
    EXPECT_EQ(lower.out.find(" 0 clipped"), std::string::npos) << lower.out;
    EXPECT_NE(lower.err.find("outside the 16 x 7 cells"), std::string::npos) << lower.err;
}

// The font is never larger than u8g2's converter makes it: its run widths
// try 2 to 8 bits for zeros and 2 to 6 for ones, the same boxes and fields.
TEST(U8g2, NoConverterRunWidthsMakeTheFontSmaller) {
    const Scratch scratch;
    HardGlyphs(scratch / "font");
    const Result source = Glyphtool(
        {"export", "u8g2", scratch / "font", "-o", "-", "--name", "f", "--chars", "0x21-0x7E"});
    ASSERT_EQ(source.status, 0) << source.err;
    const std::size_t open = source.out.find("f[") + 2;
    const std::size_t size = std::stoul(source.out.substr(open));

    // The boxes of the ink, and the fields that hold them, as the converter computes them.
    std::vector<ConverterStyleFont::Glyph> glyphs;
    int fieldW = 0, fieldH = 0, fieldX = 1, fieldY = 1, fieldDx = 1;
    const auto bits = [](int v) {
        int n = 0;
        for (unsigned u = static_cast<unsigned>(v < 0 ? -v - 1 : v); u != 0; u /= 2) ++n;
        return n;
    };
    for (char32_t cp = 0x21; cp <= 0x7E; ++cp) {
        const std::string bytes = ReadBytes(scratch / "font" / FileName(cp));
        glyph::CellGrid grid;
        const int width =
            glyph::ReadGlyph(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), grid, "");
        int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < width; ++c)
                if (glyph::IsSet(grid.Get(c, r)))
                    left = std::min(left, c), right = std::max(right, c), top = std::min(top, r),
                    bottom = std::max(bottom, r);
        ConverterStyleFont::Glyph g{cp, 0, 0, 0, 0, width, {}};
        if (right >= 0) {
            g.x = left, g.w = right - left + 1, g.h = bottom - top + 1, g.y = 5 - bottom;
            for (int r = top; r <= bottom; ++r) {
                g.rows.emplace_back();
                for (int c = left; c <= right; ++c)
                    g.rows.back() += glyph::IsSet(grid.Get(c, r)) ? '#' : '.';
            }
        }
        fieldW = std::max(fieldW, bits(g.w));
        fieldH = std::max(fieldH, bits(g.h));
        fieldX = std::max(fieldX, bits(g.x) + 1), fieldY = std::max(fieldY, bits(g.y) + 1);
        fieldDx = std::max(fieldDx, bits(g.dx) + 1);
        glyphs.push_back(g);
    }
    std::size_t smallest = SIZE_MAX;
    for (int zeros = 2; zeros <= 8; ++zeros)
        for (int ones = 2; ones <= 6; ++ones) {
            ConverterStyleFont converter(zeros, ones, 0);
            converter.SetFields({fieldW, fieldH, fieldX, fieldY, fieldDx});
            for (const auto& g : glyphs) converter.Add(g);
            smallest = std::min(smallest, converter.Bytes().size());
        }
    EXPECT_LE(size, smallest);
}

// What cannot be written or read whole says which glyph and why, in one
// line: a refused font writes nothing, a skipped glyph leaves the others.
TEST(U8g2, RefusalsAndSkipsNameTheGlyph) {
    const Scratch scratch;
    fs::create_directory(scratch / "astral");
    WriteBytes(scratch / "astral" / FileName('A'), GlyphFile({"#", "#", "#", "#", "#", "#", "#"}));
    WriteBytes(scratch / "astral" / FileName(0x1F600),
               GlyphFile({".", ".", ".", ".", ".", ".", "."}));

    const auto fontWith = [](std::vector<ConverterStyleFont::Glyph> glyphs) {
        ConverterStyleFont font(3, 3, 6);
        for (auto& g : glyphs) font.Add(std::move(g));
        return font;
    };
    const ConverterStyleFont::Glyph a{'A', 0, 0, 2, 2, 3, {"##", "#."}};
    const ConverterStyleFont::Glyph b{'B', 0, 0, 2, 2, 3, {"#.", "##"}};
    WriteBytes(scratch / "wide.c",
               fontWith({a, {'W', 0, 0, 2, 2, 20, {"##", "##"}}, b}).Source("u8g2_font_wide"));
    WriteBytes(scratch / "overflow.c",
               fontWith({a, {'O', 0, 0, 2, 2, 3, {"##", "##", "##"}}, b}).Source("u8g2_font_over"));
    WriteBytes(scratch / "tall.c",
               fontWith({a, {'T', 0, -2, 1, 9, 2, std::vector<std::string>(9, "#")}})
                   .Source("u8g2_font_tall"));
    auto jump = fontWith({a, b}).Bytes();
    jump[23 + 1] = 250;  // the size of 'A'
    WriteBytes(scratch / "jump.c", ConverterStyleFont::SourceOf(jump, "u8g2_font_jump"));
    WriteBytes(scratch / "nul.c",
               "/**/\n" + std::string("/* \0 */\n", 8) + fontWith({a, b}).Source("u8g2_font_nul"));
    auto cut = fontWith({a, b}).Bytes();
    cut.resize(30);
    WriteBytes(scratch / "cut.c", ConverterStyleFont::SourceOf(cut, "u8g2_font_cut"));

    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const Case refused[] = {
        {{"export", "u8g2", scratch / "astral", "-o", scratch / "out.c"}, "U+1F600"},
        {{"export", "u8g2", scratch / "astral", "-o", scratch / "out.c", "--chars", "0x30"},
         "no glyph of the folder is among the characters chosen"},
        {{"import", scratch / "tall.c", "-o", scratch / "out"}, "spans 9 rows, more than 7"},
        {{"import", scratch / "jump.c", "-o", scratch / "out"}, "glyph of 0x41 is 250 bytes"},
        {{"import", scratch / "cut.c", "-o", scratch / "out"},
         "u8g2_font_cut: the glyph of 0x41 is 8 bytes long, past the end"},
        {{"import", scratch / "nul.c", "-o", scratch / "out"}, "nor text (a NUL byte on line 2)"},
        {{"import", scratch / "wide.c", "-o", scratch / "out", "--font", "u8g2_font_x"},
         "holds no font u8g2_font_x; it holds u8g2_font_wide"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.reason);
        const Result run = Glyphtool(c.args);
        ExpectRefusal(run, c.reason);
        EXPECT_FALSE(fs::exists(scratch / "out"));
        EXPECT_FALSE(fs::exists(scratch / "out.c"));
    }

    const Case skipped[] = {
        {{"import", scratch / "wide.c", "-o", scratch / "wide"}, "'W' (U+0057) is 20 columns wide"},
        {{"import", scratch / "overflow.c", "-o", scratch / "overflow"},
         "'O' (U+004F) of u8g2_font_over: a run overflows its 2 x 2 box; skipped"},
    };
    for (const Case& c : skipped) {
        SCOPED_TRACE(c.reason);
        const Result run = Glyphtool(c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_NE(run.out.find("(1 skipped, 0 clipped)"), std::string::npos) << run.out;
        EXPECT_EQ(Snapshot(c.args[3]).size(), 2u);
    }
}

}  // namespace
}  // namespace testing_glyphtool
