#include <sys/stat.h>

#include <gtest/gtest.h>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int v : values) bytes += static_cast<char>(v);
    return bytes;
}

const std::string GoodGlyph = Bytes({5, 0, 7, 0, 0x80, 0, 0, 0, 0, 0, 0x08});

TEST(Check, ReportsEachProblemOfAGlyphFileOnItsOwnLine) {
    struct Case {
        std::string bytes;
        std::string lines;  // after "FILE: "
        int status, strictStatus;
    };
    const Case cases[] = {
        {GoodGlyph, "", 0, 0},
        {"", "error: empty file; a glyph file has at least 11 bytes\n", 1, 1},
        {Bytes({9, 0, 7, 0, 1, 2, 3, 4, 5, 6, 7}),
         "error: 11 bytes, shorter than the 18 of a glyph of width 9\n", 1, 1},
        {Bytes({17, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         "error: width 17 is above 16\n", 1, 1},
        {Bytes({5, 1, 7, 0, 0, 0, 0, 0, 0, 0, 0}), "warning: byte 1 is 1, not 0\n", 0, 1},
        {Bytes({5, 0, 8, 3, 0, 0, 0, 0, 0, 0, 0}),
         "warning: height byte is 8, not 7\nwarning: byte 3 is 3, not 0\n", 0, 1},
        {Bytes({5, 0, 7, 0, 0x07, 0, 0, 0, 0, 0, 0x01}),
         "warning: 4 bits set at or beyond the width 5\n", 0, 1},
        {Bytes({12, 0, 7, 0, 0xFF, 0xF1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         "warning: 1 bit set at or beyond the width 12\n", 0, 1},
        {GoodGlyph + "\n", "warning: 1 byte after the bitmap\n", 0, 1},
    };
    const Scratch scratch;
    for (const Case& c : cases) {
        const std::string file = scratch / "g.dat";
        WriteBytes(file, c.bytes);
        std::string expected;
        for (std::size_t at = 0; at < c.lines.size();) {
            const std::size_t end = c.lines.find('\n', at) + 1;
            expected += file + ": " + c.lines.substr(at, end - at);
            at = end;
        }
        SCOPED_TRACE(c.lines);
        const Result plain = Glyphtool({"check", file});
        EXPECT_EQ(plain.out, expected);
        EXPECT_EQ(plain.status, c.status);
        EXPECT_EQ(Glyphtool({"check", "--strict", file}).status, c.strictStatus);
    }
}

// A folder: its names are checked too, anything but a regular file is refused
// without blocking, and the count closes the report.
TEST(Check, ReadsEveryDatEntryOfAFolder) {
    const Scratch scratch;
    const auto dir = scratch / "font";
    std::filesystem::create_directories(dir / "Z.dat");
    WriteBytes(dir / "A.dat", GoodGlyph);
    WriteBytes(dir / "U+0041.dat", GoodGlyph);
    WriteBytes(dir / "AB.dat", GoodGlyph);
    WriteBytes(dir / "notes.txt", "not a glyph");
    ASSERT_EQ(mkfifo((dir / "F.dat").c_str(), 0600), 0);

    const Result check = Glyphtool({"check", dir});
    const std::string d = dir.string() + "/";
    EXPECT_EQ(check.out,
              d + "AB.dat: error: the name is neither U+XXXX.dat nor one character and .dat\n" + d +
                  "F.dat: error: not a regular file\n" + d +
                  "U+0041.dat: error: holds 'A' (U+0041), as " + d + "A.dat does\n" + d +
                  "Z.dat: error: not a regular file (a folder)\n");
    EXPECT_EQ(check.err, "5 files, 4 errors, 0 warnings\n");
    EXPECT_EQ(check.status, 1);
}

}  // namespace
}  // namespace testing_glyphtool
