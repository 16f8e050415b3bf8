#include <gtest/gtest.h>

#include <algorithm>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";

// A sheet drawn with Pillow from the font's own bitmaps.
fs::path MakeSheet(const Scratch& scratch, const std::string& mode,
                   const std::vector<std::string>& layout) {
    const fs::path png = scratch / (mode + ".png");
    std::string command = "/usr/bin/python3 " SOURCE_DIR "/make_sheet.py " + Misc5x7 + " " +
                          png.string() + " " + mode;
    for (const std::string& value : layout) command += " " + value;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return png;
}

struct SheetCase {
    std::string mode;
    std::vector<std::string> layout;  // first, last, per row, scale, origin x, y, gap x, y
    std::vector<std::string> options;
};

TEST(SheetImport, SheetsComeBackAsTheFolderOfTheirFont) {
    const SheetCase cases[] = {
        {"P", {"0x20", "0x7E", "16", "1", "0", "0", "0", "0"}, {"--cell", "5x7"}},
        {"RGBA",
         {"0x20", "0x7E", "16", "3", "5", "4", "2", "3"},
         {"--cell", "5x7", "--scale", "3", "--origin", "5,4", "--gap", "2,3", "--per-row", "16"}},
        {"L",
         {"0x21", "0x7E", "10", "2", "0", "1", "1", "0"},
         {"--cell", "5x7", "--scale", "2", "--origin", "0,1", "--gap", "1,0", "--first", "U+0021"}},
    };
    for (const SheetCase& c : cases) {
        SCOPED_TRACE(c.mode);
        const Scratch scratch;
        const fs::path png = MakeSheet(scratch, c.mode, c.layout);
        const std::string chars = c.layout[0] + "-" + c.layout[1];
        ASSERT_EQ(Glyphtool({"import", Misc5x7, "--chars", chars, "-o", scratch / "font"}).status,
                  0);
        std::vector<std::string> args = {"import", png, "-o", scratch / "sheet"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Result sheet = Glyphtool(args);
        ASSERT_EQ(sheet.status, 0) << sheet.err;
        EXPECT_EQ(Snapshot(scratch / "sheet"), Snapshot(scratch / "font"));
    }
}

// The width of each line `render` draws of `text`, and the last inked column.
std::pair<std::size_t, std::size_t> RenderedWidth(const fs::path& dir, const std::string& text) {
    const Result render = Glyphtool({"render", dir, text});
    EXPECT_EQ(render.status, 0) << render.err;
    std::size_t width = render.out.find('\n'), last = 0;
    for (std::size_t at = 0; at < render.out.size(); at += width + 1) {
        const std::size_t ink = render.out.substr(at, width).find_last_of('#');
        if (ink != std::string::npos) last = std::max(last, ink);
    }
    return {width, last};
}

TEST(SheetImport, ProportionalCellsTakeTheirInkAndBlankOnesHalfACell) {
    const Scratch scratch;
    const fs::path png = MakeSheet(scratch, "P", {"0x20", "0x7E", "16", "1", "0", "0", "0", "0"});
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "--chars", "0x20-0x7E", "-o", scratch / "font"}).status,
              0);
    const Result sheet =
        Glyphtool({"import", png, "-o", scratch / "out", "--cell", "5x7", "--proportional"});
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    for (const std::string text : {"!", "i", "W", "("}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(RenderedWidth(scratch / "out", text).first,
                  RenderedWidth(scratch / "font", text).second + 2);
    }
    EXPECT_EQ(RenderedWidth(scratch / "out", " ").first, 3u);  // half of 5, rounded up
}

TEST(SheetImport, ACellOutsideThePictureIsRefusedByName) {
    const Scratch scratch;
    const fs::path png = MakeSheet(scratch, "P", {"0x20", "0x7E", "16", "1", "0", "0", "0", "0"});
    const struct {
        std::vector<std::string> options;
        std::string message;
    } cases[] = {
        {{"--cell", "5x7", "--per-row", "17"},
         "the cell of U+0030 (row 1, column 17) at (80, 0), 5 × 7 pixels, does not fit in the "
         "picture of 83 × 44"},
        {{"--cell", "5x7", "--origin", "0,40"}, "the cell of U+0020 (row 1, column 1) at (0, 40)"},
        {{"--cell", "5x7", "--origin", "80,0"}, "the cell of U+0020 (row 1, column 1) at (80, 0)"},
        {{"--cell", "5x7", "--scale", "20"}, "the cell of U+0020 (row 1, column 1) at (0, 0), 100"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"import", png, "-o", scratch / "out"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Result result = Glyphtool(args);
        EXPECT_NE(result.status, 0);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(scratch / "out"));
    }
}

TEST(Yaff, ExportAndImportGiveTheFolderBack) {
    const Scratch scratch;
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", scratch / "font"}).status, 0);
    const Result yaff = Glyphtool({"export", "yaff", scratch / "font", "-o", scratch / "f.yaff"});
    ASSERT_EQ(yaff.status, 0) << yaff.err;
    const Result back = Glyphtool({"import", scratch / "f.yaff", "-o", scratch / "back"});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(Snapshot(scratch / "back"), Snapshot(scratch / "font"));
}

// Written in monobit's layout: properties, a global shift-up, labels by code
// point, character and tag, per-glyph bearings, an empty glyph.
TEST(Yaff, ReadsMonobitsLayout) {
    const Scratch scratch;
    WriteBytes(scratch / "m.yaff",
               "# converted\nyaff: 1.0.4\nname: Mono\nnotice:\n    Free.\n    Really.\n"
               "ascent: 3\ndescent: 1\nencoding: unicode\nshift-up: -1\n\n"
               "0x41:\n    .@.\n    @.@\n    @@@\n    @.@\n\n"
               "'B':\n\"bee\":\n    @@\n    @@\n\n    left-bearing: 1\n    right-bearing: 2\n\n"
               "\"tagged\":\n    @@\n\n"
               "u+0067:\n    .@@\n    @.@\n    .@@\n    ..@\n    @@.\n\n    shift-up: -1\n\n"
               "u+0020:\n    -\n\n    right-bearing: 2\n");
    const Result result = Glyphtool({"import", scratch / "m.yaff", "-o", scratch / "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("'\"tagged\"' has no Unicode character"), std::string::npos)
        << result.err;
    const Result render = Glyphtool({"render", scratch / "out", "AB g"});
    ASSERT_EQ(render.status, 0) << render.err;
    // A's top is 3 rows above the baseline; B sits on it after one blank
    // column; g drops 1 row under it.
    EXPECT_EQ(render.out,
              ".#.........##\n"
              "#.#.......#.#\n"
              "###.##.....##\n"
              "#.#.##......#\n"
              "..........##.\n"
              ".............\n"
              ".............\n")
        << render.out;

    // --ascent 4 puts A's top a row lower.
    const Result lower =
        Glyphtool({"import", scratch / "m.yaff", "-o", scratch / "lower", "--ascent", "4"});
    ASSERT_EQ(lower.status, 0) << lower.err;
    const Result a = Glyphtool({"render", scratch / "lower", "A"});
    EXPECT_EQ(a.out, "...\n.#.\n#.#\n###\n#.#\n...\n...\n") << a.out;
}

}  // namespace
}  // namespace testing_glyphtool
