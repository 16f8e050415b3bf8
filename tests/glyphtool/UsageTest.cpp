#include <gtest/gtest.h>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

TEST(Usage, AMistakeInTheArgumentsExitsWithTwoAndAHint) {
    const std::vector<std::string> mistakes[] = {
        {},
        {"bogus"},
        {"show"},
        {"show", "--nope", "x.dat"},
        {"import", "font.bdf"},
        {"import", "font.bdf", "-o", "d", "--chars", "0x7E-0x20"},
        {"export"},
        {"export", "c", "d"},
        {"export", "c", "d", "-o", "x.h", "--name", "9lives"},
        {"export", "c", "d", "-o", "x.h", "--layout", "diagonal"},
        {"export", "bdf", "d", "-o", "x.bdf", "--ascent", "8"},
        {"export", "bdf", "d", "-o", "x.bdf", "--family", "a-b"},
        {"render", "d"},
        {"render", "d", "x", "--scale", "0"},
        {"render", "d", "\xff"},
    };
    for (const auto& args : mistakes) {
        const Result run = Glyphtool(args);
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.starts_with("glyphtool: ")) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    }
}

// Every command that fails leaves the files it would have written, and every
// file it found, exactly as they were.
TEST(Usage, AFailedCommandWritesNothingAndDestroysNothing) {
    const Scratch scratch;
    const std::string s = scratch.path().string() + "/";
    const std::string glyph("\x05\x00\x07\x00\x80\x00\x00\x00\x00\x00\x00", 11);
    for (const char* dir : {"good", "bad", "empty", "mixed"})
        std::filesystem::create_directory(scratch / dir);
    WriteBytes(scratch / "good/U+0041.dat", glyph);
    WriteBytes(scratch / "bad/A.dat", glyph);
    WriteBytes(scratch / "bad/B.dat", glyph.substr(0, 9));
    WriteBytes(scratch / "mixed/A.dat", glyph);
    WriteBytes(scratch / "out.h", "old header");
    WriteBytes(scratch / "out.png", "old picture");
    WriteBytes(scratch / "font.bdf", "not a font");

    const std::vector<std::string> failures[] = {
        {"export", "c", s + "bad", "-o", s + "out.h"},
        {"export", "bdf", s + "empty", "-o", s + "out.h"},
        {"export", "c", s + "good", "-o", s + "missing/out.h"},
        {"render", s + "good", "AB", "-o", s + "out.png"},
        {"render", s + "good", "A", "-o", s + "good"},
        {"import", s + "font.bdf", "-o", s + "fresh"},
        {"import", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "-o", s + "good", "--chars", "0x41"},
        {"import", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "-o", s + "mixed", "--chars", "0x41",
         "--force"},
        {"export", "c", s + "good", "-o", "/dev/full"},
    };
    const auto before = Snapshot(scratch.path());
    for (const auto& args : failures) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const Result run = Glyphtool(args);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_TRUE(run.err.starts_with("glyphtool: ")) << run.err;
        EXPECT_EQ(Snapshot(scratch.path()), before);
        EXPECT_FALSE(std::filesystem::exists(scratch / "fresh"));
    }
}

}  // namespace
}  // namespace testing_glyphtool
