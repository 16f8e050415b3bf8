#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <sstream>

#include "Glyphtool.h"
#include "glyph/GlyphFile.h"

namespace testing_glyphtool {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One glyph of every width from 0 to 16 with random pixels, under both kinds
// of file name, from ASCII to beyond the Basic Multilingual Plane.
struct Folder {
    std::map<char32_t, Bytes> files;  // by code point, the bytes of each file

    explicit Folder(const std::filesystem::path& dir) {
        std::filesystem::create_directory(dir);
        std::mt19937 random(7);
        const std::pair<char32_t, std::string> names[] = {
            {U'A', "A.dat"}, {U'あ', "あ.dat"}, {U'*', "*.dat"}, {0x1F600, "U+1F600.dat"}};
        for (int width = 0; width <= 16; ++width) {
            const std::string file = RandomGlyphFile(width, random);
            char32_t cp = 0x1F00 + static_cast<char32_t>(width);
            char hexName[16];
            std::snprintf(hexName, sizeof hexName, "U+%04x.dat", static_cast<unsigned>(cp));
            std::string name = hexName;  // lower-case digits
            if (width < 4) std::tie(cp, name) = names[width];
            files[cp] = Bytes(file.begin(), file.end());
            WriteBytes(dir / name, file);
        }
    }
};

TEST(ExportBdf, ImportGivesBackEveryGlyphFileByteForByte) {
    const Scratch scratch;
    const Folder folder(scratch / "font");
    for (const int ascent : {6, 0, 7}) {
        SCOPED_TRACE(ascent);
        const auto bdf = scratch / ("font" + std::to_string(ascent) + ".bdf");
        const auto back = scratch / ("back" + std::to_string(ascent));
        ASSERT_EQ(Glyphtool({"export", "bdf", scratch / "font", "-o", bdf, "--ascent",
                             std::to_string(ascent)})
                      .status,
                  0);
        const Result import = Glyphtool({"import", bdf, "-o", back});
        ASSERT_EQ(import.status, 0) << import.err;

        std::vector<std::pair<std::string, std::string>> expected;
        for (const auto& [cp, bytes] : folder.files) {
            char name[32];
            std::snprintf(name, sizeof name, "U+%04X.dat", static_cast<unsigned>(cp));
            expected.emplace_back(name, std::string(bytes.begin(), bytes.end()));
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Snapshot(back), expected);
    }
}

// The BDF font's header and metrics, as X and other BDF readers take them:
// the default ascent of 6, the average width in tenths, and each glyph's
// scalable width in thousandths of the 7-point size at 75 dpi, rounded.
TEST(ExportBdf, WritesTheMetricsXReads) {
    const Scratch scratch;
    std::filesystem::create_directory(scratch / "font");
    WriteBytes(scratch / "font/A.dat", std::string("\x05\x00\x07\x00\xF8\0\0\0\0\0\0", 11));
    WriteBytes(scratch / "font/B.dat", std::string("\x03\x00\x07\x00\xE0\0\0\0\0\0\0", 11));
    const Result bdf = Glyphtool({"export", "bdf", scratch / "font", "-o", "-"});
    ASSERT_EQ(bdf.status, 0) << bdf.err;
    for (const char* line :
         {"\nFONT -glyphtool-font-Medium-R-Normal--7-70-75-75-P-40-ISO10646-1\n",
          "\nFONTBOUNDINGBOX 5 7 0 -1\n", "\nAVERAGE_WIDTH 40\n", "\nFONT_ASCENT 6\n",
          "\nFONT_DESCENT 1\n", "\nSWIDTH 686 0\nDWIDTH 5 0\nBBX 5 7 0 -1\n",
          "\nSWIDTH 411 0\nDWIDTH 3 0\nBBX 3 7 0 -1\n"})
        EXPECT_NE(bdf.out.find(line), std::string::npos) << line << bdf.out;
}

// The longest family name still gives a font that import takes back.
TEST(ExportBdf, TheLongestFamilyNameStillImports) {
    const Scratch scratch;
    const Folder folder(scratch / "font");
    ASSERT_EQ(Glyphtool({"export", "bdf", scratch / "font", "-o", scratch / "long.bdf", "--family",
                         std::string(199, 'f')})
                  .status,
              0);
    const Result import = Glyphtool({"import", scratch / "long.bdf", "-o", scratch / "back"});
    EXPECT_EQ(import.status, 0) << import.err;
}

// The header compiled by the C compiler as C99, and checked as C++; a program
// built from it prints every table entry, which must match the glyph files.
TEST(ExportC, TablesHoldTheGlyphFilesInBothLayouts) {
    const Scratch scratch;
    const Folder folder(scratch / "font");
    WriteBytes(scratch / "dump.c", R"(#include <stdio.h>
#include "table.h"
int main(void) {
    unsigned long i, k, end;
    for (i = 0; i < TBL_COUNT; ++i) {
        end = i + 1 < TBL_COUNT ? tbl_offsets[i + 1] : sizeof tbl_bitmap;
        printf("%lx %u", (unsigned long)tbl_codepoints[i], (unsigned)tbl_widths[i]);
        for (k = tbl_offsets[i]; k < end; ++k) printf(" %02x", (unsigned)tbl_bitmap[k]);
        printf("\n");
    }
    return TBL_HEIGHT == 7 ? 0 : 1;
}
)");
    for (const std::string layout : {"rows", "columns"}) {
        SCOPED_TRACE(layout);
        const Result header = Glyphtool(
            {"export", "c", scratch / "font", "-o", "-", "--name", "tbl", "--layout", layout});
        ASSERT_EQ(header.status, 0) << header.err;
        WriteBytes(scratch / "table.h", header.out);
        const std::string dir = scratch.path();
        ASSERT_EQ(
            std::system((std::string(C_COMPILER) + " -std=c99 -Wall -Wextra -pedantic -Werror " +
                         dir + "/dump.c -o " + dir + "/dump")
                            .c_str()),
            0);
        ASSERT_EQ(std::system((std::string(CXX_COMPILER) +
                               " -std=c++11 -Wall -Wextra -pedantic -Werror -fsyntax-only -x c++ " +
                               dir + "/table.h")
                                  .c_str()),
                  0);
        // The tables take a storage attribute defined before the include.
        std::size_t stored = 0;
        for (auto at = header.out.find("] TBL_STORAGE = {"); at != std::string::npos;
             at = header.out.find("] TBL_STORAGE = {", at + 1))
            ++stored;
        EXPECT_EQ(stored, 4u) << header.out;
        ASSERT_EQ(std::system((std::string(C_COMPILER) +
                               " -std=gnu99 -Werror -c -o /dev/null '-DTBL_STORAGE="
                               "__attribute__((section(\".rodata.tbl\")))' " +
                               dir + "/dump.c")
                                  .c_str()),
                  0);
        ASSERT_EQ(std::system((dir + "/dump > " + dir + "/dump.txt").c_str()), 0);

        std::ostringstream expected;
        for (const auto& [cp, bytes] : folder.files) {
            const int width = bytes[0];
            expected << std::hex << static_cast<unsigned long>(cp) << ' ' << std::dec << width;
            Bytes table(bytes.begin() + glyph::HeaderSize, bytes.end());
            if (layout == "columns") {
                glyph::CellGrid grid;
                glyph::ReadGlyph(bytes, grid, "");
                table.assign(static_cast<std::size_t>(width), 0);
                for (int col = 0; col < width; ++col)
                    for (int row = 0; row < glyph::CellGrid::RowCount; ++row)
                        if (glyph::IsSet(grid.Get(col, row))) table[col] |= 1u << row;
            }
            char hex[4];
            for (const std::uint8_t byte : table) {
                std::snprintf(hex, sizeof hex, "%02x", byte);
                expected << ' ' << hex;
            }
            expected << '\n';
        }
        EXPECT_EQ(ReadBytes(scratch / "dump.txt"), expected.str());
    }
}

}  // namespace
}  // namespace testing_glyphtool
