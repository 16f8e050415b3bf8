#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string Misc = "/usr/share/fonts/X11/misc/";

// One glyph of a test BDF font: its ENCODING line's values, one row pattern
// repeated over its 7 rows, and its advance.
struct BdfGlyph {
    std::string encoding;
    const char* row;
    int advance = 5;
};

// A BDF font of 5 x 7 glyphs, one bit a pixel.
std::string Bdf(const std::vector<BdfGlyph>& glyphs, const char* registry = "ISO10646",
                const char* encoding = "1") {
    std::ostringstream out;
    out << "STARTFONT 2.1\nFONT -test-t-medium-r-normal--7-70-75-75-c-50-" << registry << '-'
        << encoding << "\nSIZE 7 75 75\nFONTBOUNDINGBOX 5 7 0 -1\nSTARTPROPERTIES 4\n"
        << "FONT_ASCENT 6\nFONT_DESCENT 1\nCHARSET_REGISTRY \"" << registry
        << "\"\nCHARSET_ENCODING \"" << encoding << "\"\nENDPROPERTIES\nCHARS " << glyphs.size()
        << '\n';
    int n = 0;
    for (const auto& [code, row, advance] : glyphs) {
        out << "STARTCHAR g" << n++ << "\nENCODING " << code << "\nSWIDTH 500 0\nDWIDTH " << advance
            << " 0\nBBX 5 7 0 -1\nBITMAP\n";
        for (int r = 0; r < 7; ++r) out << row << '\n';
        out << "ENDCHAR\n";
    }
    out << "ENDFONT\n";
    return out.str();
}

std::string Art(const fs::path& file) {
    const Result show = Glyphtool({"show", file});
    return show.out.substr(show.out.find('\n') + 1);
}

long Count(const std::string& text, const std::string& word) {
    long n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

// Every character that cannot be kept is skipped with a warning of its own and
// counted; the first of two glyphs for a code is the one kept.
TEST(ImportCharacters, EveryLostCharacterIsCountedAndNamed) {
    const Scratch scratch;
    WriteBytes(scratch / "odd.bdf", Bdf({{"65", "F8"},
                                         {"65", "88"},
                                         {"-1", "20"},
                                         {"1114112", "50"},
                                         {"55296", "70"},
                                         {"-2 67", "88"},
                                         {"0", "80"},
                                         {"68", "F8", 17},
                                         {"66", "A8"}}));
    const Result import = Glyphtool({"import", scratch / "odd.bdf", "-o", scratch / "odd"});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_TRUE(import.out.ends_with("imported 4 glyphs from " + (scratch / "odd.bdf").string() +
                                     " into " + (scratch / "odd").string() +
                                     " (5 skipped, 0 clipped)\n"))
        << import.out;
    for (const char* lost :
         {"U+0041 has a second glyph (g1); skipped", "glyph g2 has no code",
          "U+110000 is not a Unicode character", "U+D800 is not a Unicode character",
          "'D' (U+0044) is 17 columns wide, not 0 to 16"})
        EXPECT_EQ(Count(import.err, lost), 1) << lost << "\n" << import.err;
    EXPECT_EQ(Count(import.err, "warning: "), 5) << import.err;
    EXPECT_TRUE(fs::exists(scratch / "odd/U+0043.dat")) << "ENCODING -2 67 stands for 67";
    EXPECT_TRUE(fs::exists(scratch / "odd/U+0000.dat")) << "ENCODING 0 is a code";
    std::string first;
    for (int row = 0; row < 7; ++row) first += "#####\n";
    EXPECT_EQ(Art(scratch / "odd/U+0041.dat"), first);
}

// A BDF font of 8 bits a pixel: a pixel is set from half its greatest value.
TEST(ImportCharacters, GrayBitmapsAreThresholdedAtHalf) {
    const Scratch scratch;
    WriteBytes(scratch / "gray.bdf", R"(STARTFONT 2.1
FONT -test-gray-medium-r-normal--7-70-75-75-c-40-ISO10646-1
SIZE 7 75 75 8
FONTBOUNDINGBOX 2 7 0 -1
STARTPROPERTIES 4
FONT_ASCENT 6
FONT_DESCENT 1
CHARSET_REGISTRY "ISO10646"
CHARSET_ENCODING "1"
ENDPROPERTIES
CHARS 1
STARTCHAR g
ENCODING 65
SWIDTH 500 0
DWIDTH 4 0
BBX 2 7 0 -1
BITMAP
FF80
7F00
80FF
0000
FFFF
0000
FF00
ENDCHAR
ENDFONT
)");
    ASSERT_EQ(Glyphtool({"import", scratch / "gray.bdf", "-o", scratch / "gray"}).status, 0);
    EXPECT_EQ(Art(scratch / "gray/U+0041.dat"), "##..\n....\n##..\n....\n##..\n....\n#...\n");
}

// A Windows FNT font is read in its code page; a code the page does not
// define is skipped by name.
TEST(ImportCharacters, WindowsFontsAreReadInTheirCodePage) {
    const Scratch scratch;
    struct Case {
        int charset;
        const char* first;
        const char* last;
        std::vector<std::string> files;
        std::string warning;
    };
    const Case cases[] = {
        {0,
         "0x7F",
         "0x82",
         {"U+007F.dat", "U+201A.dat", "U+20AC.dat"},
         "code 0x81 has no character in CP1252"},
        {238, "0x8A", "0x8C", {"U+015A.dat", "U+0160.dat", "U+2039.dat"}, ""},
        {204, "0xC0", "0xC1", {"U+0410.dat", "U+0411.dat"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charset);
        const fs::path fnt = scratch / (std::to_string(c.charset) + ".fnt");
        const fs::path dir = scratch / std::to_string(c.charset);
        ASSERT_EQ(std::system(("/usr/bin/python3 " SOURCE_DIR "/make_fnt.py " + fnt.string() + " " +
                               std::to_string(c.charset) + " " + c.first + " " + c.last)
                                  .c_str()),
                  0);
        const Result import = Glyphtool({"import", fnt, "-o", dir});
        ASSERT_EQ(import.status, 0) << import.err;
        std::vector<std::string> names;
        for (const auto& [name, bytes] : Snapshot(dir)) names.push_back(name);
        EXPECT_EQ(names, c.files);
        EXPECT_NE(import.err.find(c.warning), std::string::npos) << import.err;
        EXPECT_EQ(Count(import.err, "warning"), c.warning.empty() ? 0 : 1) << import.err;
    }
    // Each glyph's rows spell its code's low bits: 0x80 is the euro sign, 0x82 the low quote.
    EXPECT_EQ(Art(scratch / "0/U+20AC.dat"), "#..\n#..\n#..\n#..\n#..\n#..\n#..\n");
    EXPECT_EQ(Art(scratch / "0/U+201A.dat"), "#..\n###\n#..\n#..\n#..\n#..\n#..\n");
}

// FreeType keeps 65,535 glyphs of a BDF face; those past it are skipped by
// name, also when --chars picks them.
TEST(ImportCharacters, GlyphsBeyondWhatFreeTypeKeepsAreSkipped) {
    const Scratch scratch;
    std::vector<BdfGlyph> glyphs;
    for (int i = 0; i < 65600; ++i) glyphs.push_back({std::to_string(0x100 + i), "80"});
    WriteBytes(scratch / "big.bdf", Bdf(glyphs));
    const Result import = Glyphtool(
        {"import", scratch / "big.bdf", "-o", scratch / "big", "--chars", "0x100FE-0x10102"});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_NE(import.out.find("imported 1 glyphs"), std::string::npos) << import.out;
    EXPECT_NE(import.out.find("(4 skipped, 0 clipped)"), std::string::npos) << import.out;
    EXPECT_EQ(Count(import.err, "lies beyond the 65,535 glyphs"), 4) << import.err;
    EXPECT_EQ(Count(import.err, "(U+10102)"), 1) << import.err;
}

// Fonts in other charsets are read through iconv: their letters are those of
// the same design in ISO 10646, and look as drawn.
TEST(ImportCharacters, X11FontsInOtherCharsetsAreMappedToUnicode) {
    const Scratch scratch;
    ASSERT_EQ(Glyphtool({"import", Misc + "5x7.pcf.gz", "-o", scratch / "unicode"}).status, 0);
    struct Case {
        const char* font;
        const char* charset;
        std::vector<const char*> letters;
        const char* file;
        const char* art;
    };
    const Case cases[] = {
        {"5x7-ISO8859-2.pcf.gz",
         "ISO8859-2",
         {"U+0141", "U+0160", "U+0158", "U+017C"},
         "U+0141.dat",
         "#....\n#....\n##...\n#....\n#....\n####.\n.....\n"},
        {"5x7-KOI8-R.pcf.gz",
         "KOI8-R",
         {"U+0430", "U+042F", "U+0416", "U+044B"},
         "U+0416.dat",
         "#.#.#\n#.#.#\n.###.\n.###.\n#.#.#\n#.#.#\n.....\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font);
        const fs::path dir = scratch / c.charset;
        const Result import = Glyphtool({"import", Misc + c.font, "-o", dir});
        ASSERT_EQ(import.status, 0) << import.err;
        EXPECT_NE(import.out.find(std::string("strike in ") + c.charset), std::string::npos);
        EXPECT_NE(import.out.find("(0 skipped"), std::string::npos) << import.out;
        for (const char* letter : c.letters) {
            const std::string name = std::string(letter) + ".dat";
            ASSERT_TRUE(fs::exists(dir / name)) << name;
            EXPECT_EQ(ReadBytes(dir / name), ReadBytes(scratch / "unicode" / name)) << name;
        }
        EXPECT_EQ(Art(dir / c.file), c.art);
    }

    // Without a charset, or with one of no standard meaning, codes are read as
    // Unicode, with a word; a charset iconv does not know is refused by name.
    for (const char* font : {"micro.pcf.gz", "nil2.pcf.gz"}) {
        const Result import = Glyphtool({"import", Misc + font, "-o", scratch / font});
        EXPECT_EQ(import.status, 0) << import.err;
        EXPECT_NE(import.err.find("its codes are read as Unicode"), std::string::npos)
            << import.err;
    }
    WriteBytes(scratch / "bogus.bdf", Bdf({{"65", "F8"}}, "Bogus", "7"));
    const Result bogus = Glyphtool({"import", scratch / "bogus.bdf", "-o", scratch / "bogus"});
    EXPECT_EQ(bogus.status, 1);
    EXPECT_NE(bogus.err.find("charset Bogus-7 cannot be converted"), std::string::npos)
        << bogus.err;
    EXPECT_FALSE(fs::exists(scratch / "bogus"));
}

// A scalable font: DejaVu Sans at the largest size whose ascender and
// descender fit 7 rows; one whose metrics are 0 by its bounding box; and a
// collection whose first face fits at no size by its second face.
TEST(ImportCharacters, ScalableFontsFitSevenRowsByTheirMetricsBoxOrFace) {
    const Scratch scratch;
    const Result dejavu =
        Glyphtool({"import", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "-o",
                   scratch / "dejavu", "--chars", "0x48", "--chars", "0x54"});
    ASSERT_EQ(dejavu.status, 0) << dejavu.err;
    EXPECT_NE(dejavu.out.find("read its outlines at 5 pixels"), std::string::npos) << dejavu.out;
    EXPECT_EQ(Art(scratch / "dejavu/U+0048.dat"), "....\n.#.#\n.#.#\n.###\n.#.#\n....\n....\n");
    EXPECT_EQ(Art(scratch / "dejavu/U+0054.dat"), "...\n###\n.#.\n.#.\n.#.\n...\n...\n");

    ASSERT_EQ(
        std::system(("/usr/bin/python3 " SOURCE_DIR "/make_odd_fonts.py " + scratch.path().string())
                        .c_str()),
        0);
    const Result plain = Glyphtool({"import", scratch / "plain.ttf", "-o", scratch / "plain"});
    ASSERT_EQ(plain.status, 0) << plain.err;

    const Result flat = Glyphtool({"import", scratch / "flat.ttf", "-o", scratch / "flat"});
    ASSERT_EQ(flat.status, 0) << flat.err;
    EXPECT_NE(flat.out.find("read its outlines at 6 pixels"), std::string::npos) << flat.out;
    EXPECT_NE(flat.out.find("imported 26 glyphs"), std::string::npos) << flat.out;
    EXPECT_NE(flat.out.find("(0 skipped"), std::string::npos) << flat.out;

    const Result pair = Glyphtool({"import", scratch / "pair.ttc", "-o", scratch / "pair"});
    ASSERT_EQ(pair.status, 0) << pair.err;
    EXPECT_NE(pair.out.find("(face 1)"), std::string::npos) << pair.out;
    EXPECT_EQ(Snapshot(scratch / "pair"), Snapshot(scratch / "plain"));
}

}  // namespace
}  // namespace testing_glyphtool
