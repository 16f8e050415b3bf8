#include <gtest/gtest.h>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";

// The X misc-fixed 5x7 font, as its author drew it: ascent 6, so row 6 holds
// the descenders.
TEST(Import, GivesTheGlyphsOfTheXMiscFixed5x7Font) {
    const Scratch scratch;
    const Result import = Glyphtool({"import", Misc5x7, "-o", scratch / "5x7"});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_TRUE(import.out.ends_with("imported 1848 glyphs from " + Misc5x7 + " into " +
                                     (scratch / "5x7").string() + " (0 skipped, 0 clipped)\n"))
        << import.out;

    const std::pair<const char*, const char*> glyphs[] = {
        {"U+0041.dat", ".##..\n#..#.\n#..#.\n####.\n#..#.\n#..#.\n.....\n"},
        {"U+0067.dat", ".....\n.....\n.###.\n#..#.\n.##..\n#....\n.###.\n"},
        {"U+0037.dat", "####.\n...#.\n..#..\n..#..\n.#...\n.#...\n.....\n"},
        {"U+002C.dat", ".....\n.....\n.....\n.....\n..##.\n..#..\n.#...\n"},
    };
    for (const auto& [name, art] : glyphs) {
        const std::string file = scratch / "5x7" / name;
        const Result show = Glyphtool({"show", file});
        EXPECT_EQ(show.out, file + ": width 5\n" + art) << show.err;
    }
}

}  // namespace
}  // namespace testing_glyphtool
