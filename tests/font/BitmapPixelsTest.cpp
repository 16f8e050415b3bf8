#include "font/BitmapPixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "font/ImportReport.h"

namespace {

// The glyph's 7 rows as # and . over its width.
std::string Art(const font::Glyph& glyph) {
    std::string art;
    for (int row = 0; row < glyph::CellGrid::RowCount; ++row) {
        for (int col = 0; col < glyph.width; ++col) art += glyph.Pixel(col, row) ? '#' : '.';
        art += '\n';
    }
    return art;
}

// A 3 x 3 one-bit bitmap of a plus sign, with garbage in its padding bits.
const std::vector<std::uint8_t> Plus = {0x5F, 0xFF, 0x5F};

struct Landing {
    const char* what;
    long left;
    long top;
    int width;
    std::int64_t dropped;
    const char* art;
};

TEST(BitmapPixelsTest, DrawsWhatLandsInTheCellsAndCountsTheRest) {
    const Landing cases[] = {
        {"inside", 1, 2, 5, 0, ".....\n.....\n..#..\n.###.\n..#..\n.....\n.....\n"},
        {"above the top row", 0, -1, 3, 1, "###\n.#.\n...\n...\n...\n...\n...\n"},
        {"below the last row", 0, 5, 3, 1, "...\n...\n...\n...\n...\n.#.\n###\n"},
        {"left of column 0", -1, 0, 3, 1, "#..\n##.\n#..\n...\n...\n...\n...\n"},
        {"beyond the width", 1, 0, 2, 4, "..\n.#\n..\n..\n..\n..\n..\n"},
        {"far away", 100000, -100000, 16, 5, nullptr},
    };
    const font::BitmapView plus{Plus.data(), 1, 3, 3, true, 1};
    for (const Landing& c : cases) {
        font::Glyph glyph = font::BlankGlyph(U'+', c.width);
        EXPECT_EQ(font::DrawBitmap(plus, glyph, c.left, c.top), c.dropped) << c.what;
        if (c.art != nullptr) {
            EXPECT_EQ(Art(glyph), c.art) << c.what;
        }
    }
}

// A gray bitmap is read from its threshold, and a negative pitch runs from
// the last row in memory up.
TEST(BitmapPixelsTest, ReadsGrayRowsAndEitherPitch) {
    const std::vector<std::uint8_t> gray = {0, 200, 100, 99};  // two rows of two
    const font::BitmapView down{gray.data(), 2, 2, 2, false, 100};
    const font::BitmapView up{gray.data() + 2, -2, 2, 2, false, 100};
    font::Glyph a = font::BlankGlyph(U'a', 2);
    font::Glyph b = font::BlankGlyph(U'b', 2);
    EXPECT_EQ(font::DrawBitmap(down, a, 0, 0), 0);
    EXPECT_EQ(font::DrawBitmap(up, b, 0, 0), 0);
    EXPECT_EQ(Art(a).substr(0, 6), ".#\n#.\n");
    EXPECT_EQ(Art(b).substr(0, 6), "#.\n.#\n");
    EXPECT_EQ(font::InkOf(down, -1).first, -1);
    EXPECT_EQ(font::InkOf(down, -1).last, 0);
}

TEST(BitmapPixelsTest, InkSkipsBlankRowsAndPadding) {
    // Rows: padding bits only, a pixel, blank, a pixel.
    const std::vector<std::uint8_t> rows = {0x1F, 0x80, 0x00, 0x20};
    const font::BitmapView bitmap{rows.data(), 1, 3, 4, true, 1};
    const font::InkRows ink = font::InkOf(bitmap, -6);
    EXPECT_EQ(ink.first, -5);
    EXPECT_EQ(ink.last, -3);
    EXPECT_TRUE(font::InkOf(font::BitmapView{rows.data(), 1, 3, 1, true, 1}, 0).Empty());
}

// More set pixels than an int holds, made cheaply: every row is the same
// 8 KiB of set bits. The count and the warning stay right.
TEST(BitmapPixelsTest, CountsPastTwoToTheThirtyOne) {
    const std::vector<std::uint8_t> line(8192, 0xFF);
    const font::BitmapView huge{line.data(), 0, 65535, 32769, true, 1};
    font::Glyph glyph = font::BlankGlyph(U'A', 16);
    const std::int64_t all = std::int64_t{65535} * 32769;
    ASSERT_GT(all, std::int64_t{INT32_MAX});
    const std::int64_t dropped = font::DrawBitmap(huge, glyph, 0, 0);
    EXPECT_EQ(dropped, all - 16 * 7);

    font::ImportReport report;
    report.Keep("huge.pcf", glyph, dropped);
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("loses " + std::to_string(all - 16 * 7) + " pixels"),
              std::string::npos)
        << report.warnings[0];
    EXPECT_EQ(report.clipped, 1);
}

}  // namespace
