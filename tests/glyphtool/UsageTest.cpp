#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

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
        {"export", "c", "d", "-o", ""},
        {"export", "bdf", "d", "-o", ""},
        {"render", "d", "x", "-o", ""},
        {"import", "font.bdf", "-o", ""},
        {"export", "c", "d", "-o", "x.h", "--name", "__x"},
        {"export", "c", "d", "-o", "x.h", "--name", "_X"},
        {"export", "c", "d", "-o", "x.h", "--name", "_x"},
        {"export", "c", "d", "-o", "x.h", "--name", "a-b"},
        {"export", "gfx", "d", "-o", "x.h", "--name", "int"},
        {"export", "gfx", "d", "-o", "x.h", "--ascent", "8"},
        {"export", "max72xx", "d", "-o", "x.h", "--height", "0"},
        {"import", "font.h", "-o", "d", "--ascent", "-1"},
        {"chart", "d", "--scale", "33"},
        {"chart", "d", "-o", ""},
        {"export", "bdf", "d", "-o", "x.bdf", "--family", std::string(200, 'f')},
        {"import", "font.bdf", "-o", "d", "--chars", "0x20:0x7E"},
    };
    for (const auto& args : mistakes) {
        const Result run = Glyphtool(args);
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.starts_with("glyphtool: ")) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    }
    // An option where the verb should be is not taken for a verb.
    EXPECT_EQ(Glyphtool({"-x"}).err.find("unknown verb"), std::string::npos);
    // The hint names the verb that was mistaken.
    EXPECT_TRUE(
        Glyphtool({"export", "c", "d"}).err.ends_with("Try 'glyphtool export c --help'.\n"));
    EXPECT_TRUE(
        Glyphtool({"chart", "d", "--scale", "0"}).err.ends_with("Try 'glyphtool chart --help'.\n"));
}

// What glyphtool prints to a terminal cannot act on it: bidirectional and
// other controls from file names and arguments arrive escaped.
TEST(Usage, TextFromTheCommandLineReachesTheTerminalEscaped) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", "a\u202Eb\x1b[31m.dat"},
          std::vector<std::string>{"show", "x.dat", "--x\x1b]0;title\x07"}}) {
        const Result run = Glyphtool(args);
        EXPECT_NE(run.status, 0);
        for (const char* raw : {"\u202E", "\x1b", "\x07"})
            EXPECT_EQ(run.err.find(raw), std::string::npos) << run.err;
        EXPECT_TRUE(run.err.find("\\xE2\\x80\\xAE") != std::string::npos ||
                    run.err.find("\\x1B") != std::string::npos)
            << run.err;
    }
}

// Help and version text that cannot be written fails like any other output;
// the help shows --chars as it is taken.
TEST(Usage, HelpAndVersionFailWhenTheirTextIsLost) {
    for (const char* flag : {"--help", "--version"}) {
        const int status = std::system(
            (std::string(GLYPHTOOL_PATH) + " " + flag + " > /dev/full 2>/dev/null").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << flag;
    }
    const Result help = Glyphtool({"import", "--help"});
    EXPECT_NE(help.out.find("--chars RANGE "), std::string::npos) << help.out;
    EXPECT_EQ(help.out.find("RANGE:"), std::string::npos) << help.out;
}

// Text that sets no columns fails alike as art and as a picture.
TEST(Usage, RenderingNothingFailsAsTextAndAsAPicture) {
    const Scratch scratch;
    std::filesystem::create_directory(scratch / "font");
    WriteBytes(scratch / "font/U+0041.dat", std::string("\x00\x00\x07\x00\0\0\0\0\0\0\0", 11));
    for (const std::string text : {"", "AA"}) {
        EXPECT_EQ(Glyphtool({"render", scratch / "font", text}).status, 1) << text;
        EXPECT_EQ(Glyphtool({"render", scratch / "font", text, "-o", scratch / "x.png"}).status, 1);
    }
    EXPECT_FALSE(std::filesystem::exists(scratch / "x.png"));
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
        {"chart", s + "bad", "-o", s + "out.png"},
        {"chart", s + "empty"},
        {"chart", s + "good", "-o", s + "good/U+0041.dat"},
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
