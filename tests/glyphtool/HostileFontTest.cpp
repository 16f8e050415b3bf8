#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

void MakeHostile(const std::string& kind, const fs::path& path, const std::string& extra = "") {
    const std::string command = "/usr/bin/python3 " SOURCE_DIR "/make_hostile_fonts.py " + kind +
                                " " + path.string() + " " + extra;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// A BDF font of `count` glyphs with the box `bbx` and no bitmap rows.
std::string BoxedFont(int count, const std::string& bbx) {
    std::ostringstream out;
    out << "STARTFONT 2.1\nFONT boxes\nSIZE 7 75 75\nFONTBOUNDINGBOX 5 7 0 -1\n"
        << "STARTPROPERTIES 2\nFONT_ASCENT 6\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS " << count
        << '\n';
    for (int i = 0; i < count; ++i)
        out << "STARTCHAR g" << i << "\nENCODING " << 0x41 + i << "\nDWIDTH 5 0\nBBX " << bbx
            << "\nBITMAP\nENDCHAR\n";
    out << "ENDFONT\n";
    return out.str();
}

// Each hostile file ends in a message naming what it holds, never in work
// or memory out of proportion to the glyphs kept.
TEST(HostileFont, EachIsRefusedForWhatItHolds) {
    const Scratch scratch;
    MakeHostile("square.ttf", scratch / "square.ttf");
    const Result square = Glyphtool({"import", scratch / "square.ttf", "-o", scratch / "sq"});
    EXPECT_EQ(square.status, 1);
    const std::string name = (scratch / "square.ttf").string();
    EXPECT_NE(square.err.find(name + ": 'A' (U+0041) has a box of "), std::string::npos)
        << square.err;
    EXPECT_NE(square.err.find("pixels, far beyond the 16 x 7 cells; skipped"), std::string::npos);
    EXPECT_TRUE(square.err.ends_with(name + ": no characters to import\n")) << square.err;

    // A bitmap glyph is judged by its metrics before its bitmap is read.
    MakeHostile("wide.pcf.gz", scratch / "wide.pcf.gz");
    const Result wide = Glyphtool({"import", scratch / "wide.pcf.gz", "-o", scratch / "wp"});
    ASSERT_EQ(wide.status, 0) << wide.err;
    EXPECT_NE(wide.err.find("wide.pcf.gz: 'A' (U+0041) has a box of 300 x 7 pixels, far beyond "
                            "the 16 x 7 cells; skipped"),
              std::string::npos)
        << wide.err;
    EXPECT_NE(wide.out.find("imported 1 glyphs"), std::string::npos) << wide.out;
    const Result frame = Glyphtool({"show", scratch / "wp/U+0042.dat"});
    EXPECT_EQ(frame.out.substr(frame.out.find('\n') + 1),
              "#####\n#...#\n#...#\n#...#\n#...#\n#...#\n#####\n");

    MakeHostile("zeros.gz", scratch / "zeros.pcf.gz", std::to_string((32 << 20) + 1));
    const Result bomb = Glyphtool({"import", scratch / "zeros.pcf.gz", "-o", scratch / "z"});
    EXPECT_EQ(bomb.status, 1);
    EXPECT_EQ(bomb.err, "glyphtool: " + (scratch / "zeros.pcf.gz").string() +
                            ": inflates to more than 32 MiB, more than any font it reads\n");

    WriteBytes(scratch / "boxes.bdf", BoxedFont(2000, "65535 7 0 -1"));
    const Result boxes = Glyphtool({"import", scratch / "boxes.bdf", "-o", scratch / "w"});
    EXPECT_EQ(boxes.status, 1);
    EXPECT_EQ(boxes.err, "glyphtool: " + (scratch / "boxes.bdf").string() +
                             ": glyph g0 (line 13) has a box of 65535 x 7 pixels, far beyond the "
                             "16 x 7 cells; not read\n");
    for (const char* dir : {"sq", "z", "w"}) EXPECT_FALSE(fs::exists(scratch / dir)) << dir;
}

// Memory that runs out while a font is read is said as such, not as
// std::bad_alloc or a font FreeType cannot read.
TEST(HostileFont, MemoryThatRunsOutIsSaid) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    const Scratch scratch;
    MakeHostile("zeros.gz", scratch / "zeros.pcf.gz", std::to_string(30 << 20));
    const std::string command = "ulimit -v 40000; exec " GLYPHTOOL_PATH " import " +
                                (scratch / "zeros.pcf.gz").string() + " -o " +
                                (scratch / "z").string() + " 2>" + (scratch / "err").string();
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadBytes(scratch / "err"), "glyphtool: " + (scratch / "zeros.pcf.gz").string() +
                                              ": not enough memory to read it\n");
}

// A compressed BDF font is read as the same font uncompressed; a BDF font
// FreeType cannot read is named as one.
TEST(HostileFont, BdfFontsCompressedOrDamaged) {
    const Scratch scratch;
    WriteBytes(scratch / "five.bdf", BoxedFont(5, "5 7 0 -1"));
    ASSERT_EQ(std::system(("gzip -k " + (scratch / "five.bdf").string()).c_str()), 0);
    ASSERT_EQ(Glyphtool({"import", scratch / "five.bdf", "-o", scratch / "plain"}).status, 0);
    const Result packed = Glyphtool({"import", scratch / "five.bdf.gz", "-o", scratch / "gz"});
    ASSERT_EQ(packed.status, 0) << packed.err;
    EXPECT_EQ(Snapshot(scratch / "gz"), Snapshot(scratch / "plain"));
    EXPECT_EQ(Snapshot(scratch / "gz").size(), 5u);

    std::string noChars = BoxedFont(1, "5 7 0 -1");
    noChars.erase(noChars.find("CHARS 1\n"), 8);
    WriteBytes(scratch / "nochars.bdf", noChars);
    const Result damaged = Glyphtool({"import", scratch / "nochars.bdf", "-o", scratch / "d"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(damaged.err, "glyphtool: " + (scratch / "nochars.bdf").string() +
                               ": a BDF font that FreeType cannot read\n");
}

}  // namespace
}  // namespace testing_glyphtool
