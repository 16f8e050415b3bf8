#include <gtest/gtest.h>

#include <sstream>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

// A glyph of a test font: its BBX line's values and its bitmap rows, top first.
struct InkGlyph {
    int code;
    std::string box;
    std::vector<std::string> rows;
};

// A BDF font declaring `ascent` and `descent`, which FreeType makes a strike
// of ascent + descent pixels.
std::string DeclaredFont(int ascent, int descent, const std::vector<InkGlyph>& glyphs) {
    std::ostringstream out;
    out << "STARTFONT 2.1\nFONT ink\nSIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 -2\nSTARTPROPERTIES 4\n"
        << "FONT_ASCENT " << ascent << "\nFONT_DESCENT " << descent
        << "\nCHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\nCHARS "
        << glyphs.size() << '\n';
    for (const InkGlyph& glyph : glyphs) {
        out << "STARTCHAR c" << glyph.code << "\nENCODING " << glyph.code
            << "\nSWIDTH 500 0\nDWIDTH 5 0\nBBX " << glyph.box << "\nBITMAP\n";
        for (const std::string& row : glyph.rows) out << row << '\n';
        out << "ENDCHAR\n";
    }
    out << "ENDFONT\n";
    return out.str();
}

// Seven rows a glyph, its first and last row full so that a lost row shows.
const std::vector<std::string> Seven = {"F8", "88", "88", "88", "88", "88", "F8"};
const std::string SevenArt = "#####\n#...#\n#...#\n#...#\n#...#\n#...#\n#####\n";
const std::vector<std::string> Eight = {"F8", "88", "88", "88", "88", "88", "88", "F8"};

struct InkCase {
    const char* what;
    int ascent;
    int descent;
    std::vector<InkGlyph> glyphs;
    std::vector<std::string> options;
    int status;
    std::string message;  // a warning when it imports, the error when not
};

// A font comes in whole when its glyphs' ink spans at most 7 rows, whatever
// it declares; the warning says which rows were taken. Only ink over 7 rows
// is refused, with the height found.
TEST(ImportInk, FontsWhoseInkFitsSevenRowsComeInWhole) {
    const InkCase cases[] = {
        {"an 8-pixel strike inked in its upper 7 rows",
         6,
         2,
         {{0x41, "5 7 0 -1", Seven}},
         {},
         0,
         "takes rows 1 to 7 of its 8-pixel strike, where its glyphs' ink lies"},
        {"an 8-pixel strike inked in its lower 7 rows",
         6,
         2,
         {{0x41, "5 7 0 -2", Seven}},
         {},
         0,
         "takes rows 2 to 8 of its 8-pixel strike, where its glyphs' ink lies"},
        {"an ascent one short of the ink",
         4,
         2,
         {{0x41, "5 7 0 -2", Seven}, {0x42, "5 3 0 0", {"F8", "88", "F8"}}},
         {},
         0,
         "its 7 rows start at the 5th row above the baseline, where its glyphs' ink begins, not "
         "at its ascent of 4"},
        {"an icon font of ascent 0",
         0,
         0,
         {{0x41, "5 7 0 0", Seven}},
         {},
         0,
         "its 7 rows start at the 7th row above the baseline, where its glyphs' ink begins, not "
         "at its ascent of 0"},
        {"ink of 8 rows",
         6,
         2,
         {{0x41, "5 7 0 -2", Seven}, {0x42, "5 8 0 -2", Eight}},
         {},
         1,
         "its glyphs' ink spans more than 7 rows (8 rows in its 8-pixel strike), and it has no "
         "outlines"},
        {"ink of 8 rows with the characters asked for in 7",
         6,
         2,
         {{0x41, "5 7 0 -2", Seven}, {0x42, "5 8 0 -2", Eight}},
         {"--chars", "0x41"},
         0,
         "takes rows 2 to 8 of its 8-pixel strike"},
        {"an icon font of 8 rows",
         0,
         0,
         {{0x41, "5 8 0 0", Eight}},
         {},
         1,
         "its glyphs' ink spans more than 7 rows (8 rows in its 0-pixel strike), and it has no "
         "outlines"},
    };
    const Scratch scratch;
    int n = 0;
    for (const InkCase& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path font = scratch / (std::to_string(n) + ".bdf");
        const fs::path dir = scratch / std::to_string(n++);
        WriteBytes(font, DeclaredFont(c.ascent, c.descent, c.glyphs));
        std::vector<std::string> args = {"import", font, "-o", dir};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Result import = Glyphtool(args);
        ASSERT_EQ(import.status, c.status) << import.err;
        EXPECT_NE(import.err.find(font.string() + ": " + c.message), std::string::npos)
            << import.err;
        if (c.status != 0) {
            EXPECT_FALSE(fs::exists(dir));
            continue;
        }
        EXPECT_NE(import.out.find("(0 skipped, 0 clipped)"), std::string::npos) << import.out;
        const Result show = Glyphtool({"show", dir / "U+0041.dat"});
        EXPECT_EQ(show.out.substr(show.out.find('\n') + 1), SevenArt);
    }
}

// The X misc 5x8 font's capitals lie in the lower 7 rows of its 8-pixel
// strike; the whole font, with its accents, does not fit, and says how high
// its ink is.
TEST(ImportInk, RealFontsByTheirInk) {
    const Scratch scratch;
    const std::string font = "/usr/share/fonts/X11/misc/5x8.pcf.gz";
    const Result capitals =
        Glyphtool({"import", font, "-o", scratch / "caps", "--chars", "0x41-0x5A"});
    ASSERT_EQ(capitals.status, 0) << capitals.err;
    EXPECT_NE(capitals.err.find("takes rows 2 to 8 of its 8-pixel strike"), std::string::npos)
        << capitals.err;
    EXPECT_NE(capitals.out.find("imported 26 glyphs"), std::string::npos) << capitals.out;
    EXPECT_NE(capitals.out.find("(0 skipped, 0 clipped)"), std::string::npos) << capitals.out;
    const Result q = Glyphtool({"show", scratch / "caps/U+0051.dat"});
    EXPECT_EQ(q.out.substr(q.out.find('\n') + 1),
              ".##..\n#..#.\n#..#.\n##.#.\n#.##.\n.##..\n...#.\n");

    const Result whole = Glyphtool({"import", font, "-o", scratch / "whole"});
    EXPECT_EQ(whole.status, 1);
    EXPECT_EQ(whole.err, "glyphtool: " + font +
                             ": its glyphs' ink spans more than 7 rows (8 rows in its 8-pixel "
                             "strike), and it has no outlines\n");
}

}  // namespace
}  // namespace testing_glyphtool
