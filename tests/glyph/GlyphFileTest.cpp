#include "glyph/GlyphFile.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "glyph/Errors.h"

namespace glyph {
namespace {

using Bytes = std::vector<std::uint8_t>;

CellGrid GridWithWidth(int width) {
    CellGrid grid;
    grid.Initialise(width);
    return grid;
}

TEST(GlyphFile, WritesTheDocumentedExamples) {
    struct Example {
        int width;
        std::vector<std::pair<int, int>> set;  // (col, row)
        Bytes bytes;
    };
    const Example examples[] = {
        {8, {{0, 0}}, {0x08, 0, 7, 0, 0x80, 0, 0, 0, 0, 0, 0}},
        {12, {{8, 0}, {11, 0}}, {0x0C, 0, 7, 0, 0x00, 0x90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {3, {{0, 6}, {2, 6}}, {0x03, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0xA0}},
        {0, {}, {0x00, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0}},
        {16,
         {{15, 0}, {8, 6}, {7, 3}},
         {0x10, 0, 7, 0, 0, 0x01, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0x80}},
    };
    for (const auto& ex : examples) {
        SCOPED_TRACE(ex.width);
        CellGrid grid = GridWithWidth(ex.width);
        for (auto [col, row] : ex.set) grid.Toggle(col, row);
        EXPECT_EQ(EncodeGlyph(grid, ex.width), ex.bytes);

        CellGrid read;
        EXPECT_EQ(ReadGlyph(ex.bytes, read, "x.dat"), ex.width);
        EXPECT_EQ(read, grid);

        // The same glyph as rows of bits, column 0 in the top bit.
        GlyphRows rows{};
        for (auto [col, row] : ex.set)
            rows[static_cast<std::size_t>(row)] |= static_cast<std::uint16_t>(0x8000u >> col);
        EXPECT_EQ(EncodeGlyph(rows, ex.width), ex.bytes);
        GlyphRows readRows{};
        EXPECT_EQ(ReadGlyph(ex.bytes, readRows, "x.dat"), ex.width);
        EXPECT_EQ(readRows, rows);
    }
}

TEST(GlyphFile, RowsKeepNoBitBeyondTheWidthEitherWay) {
    for (int width = 0; width <= 16; ++width) {
        SCOPED_TRACE(width);
        CellGrid inked = GridWithWidth(width);
        for (int col = 0; col < width; ++col)
            for (int row = 0; row < CellGrid::RowCount; ++row) inked.Toggle(col, row);
        GlyphRows full;
        full.fill(0xFFFF);
        EXPECT_EQ(EncodeGlyph(full, width), EncodeGlyph(inked, width));

        Bytes everyBit(GlyphFileSize(width), 0xFF);
        everyBit[0] = static_cast<std::uint8_t>(width);
        GlyphRows rows{};
        CellGrid grid;
        ASSERT_EQ(ReadGlyph(everyBit, rows, "x.dat"), width);
        ASSERT_EQ(ReadGlyph(everyBit, grid, "x.dat"), width);
        for (int col = 0; col < CellGrid::ColCount; ++col)
            for (int row = 0; row < CellGrid::RowCount; ++row)
                EXPECT_EQ((rows[static_cast<std::size_t>(row)] >> (15 - col)) & 1,
                          col < width && IsSet(grid.Get(col, row)) ? 1 : 0)
                    << col << "," << row;
    }
}

TEST(GlyphFile, BitmapIsSevenBytesUpToWidthEightAndFourteenFromNine) {
    for (int width = 0; width <= 16; ++width)
        EXPECT_EQ(EncodeGlyph(GridWithWidth(width), width).size(), width <= 8 ? 11u : 18u) << width;
}

TEST(GlyphFile, RoundTripsRandomGlyphsOfEveryWidth) {
    std::mt19937 random(12345);
    for (int width = 0; width <= 16; ++width)
        for (int trial = 0; trial < 20; ++trial) {
            CellGrid grid = GridWithWidth(width);
            for (int col = 0; col < width; ++col)
                for (int row = 0; row < CellGrid::RowCount; ++row)
                    if (random() & 1) grid.Toggle(col, row);

            std::stringstream file;
            WriteGlyph(file, grid, width);
            CellGrid read = GridWithWidth(3);
            read.Toggle(0, 0);
            EXPECT_EQ(ReadGlyph(file, read, "r.dat"), width);
            EXPECT_EQ(read, grid) << "width " << width;
        }
}

TEST(GlyphFile, ReadingIgnoresBitsBeyondTheWidthHeaderAndTrailingBytes) {
    // Width 5, low three bits set in every row, height byte 9, junk in bytes 1 and 3,
    // and bytes after the glyph.
    Bytes bytes = {5, 0xAA, 9, 0xBB, 0x87, 0x07, 0xFF, 0, 0, 0, 0x80, 0x42, 0x42};
    CellGrid grid;
    ASSERT_EQ(ReadGlyph(bytes, grid, "w.dat"), 5);
    CellGrid expected = GridWithWidth(5);
    expected.Toggle(0, 0);
    for (int col = 0; col < 5; ++col) expected.Toggle(col, 2);
    expected.Toggle(0, 6);
    EXPECT_EQ(grid, expected);
}

TEST(GlyphFile, ReadingWideGlyphTakesColumnsEightOnFromOddBytes) {
    Bytes bytes(18, 0);
    bytes[0] = 9;
    bytes[4 + 2 * 3 + 1] = 0xFF;  // row 3: only column 8 is inside the width
    CellGrid grid;
    ASSERT_EQ(ReadGlyph(bytes, grid, "w.dat"), 9);
    for (int col = 0; col < CellGrid::ColCount; ++col)
        EXPECT_EQ(grid.Get(col, 3), col == 8 ? clRed : col < 9 ? clWindow : clBtnFace) << col;
}

TEST(GlyphFile, CellsThatAreNeitherSetNorClearWriteZero) {
    CellGrid grid = GridWithWidth(8);
    grid.Toggle(0, 0);
    // Width raised to 12 without applying it: columns 8 to 11 still hold clBtnFace.
    const Bytes bytes = EncodeGlyph(grid, 12);
    Bytes expected(18, 0);
    expected[0] = 12;
    expected[2] = 7;
    expected[4] = 0x80;
    EXPECT_EQ(bytes, expected);
    grid.Set(1, 0, 0x00123456);
    EXPECT_EQ(EncodeGlyph(grid, 8)[4], 0x80);
}

template <typename Error>
std::string MessageOf(auto&& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.Message();
    }
    return "(no error)";
}

TEST(GlyphFile, RefusesShortAndTooWideFilesLeavingTheGridAlone) {
    struct Refusal {
        Bytes bytes;
        std::string message;
    };
    const std::string path = "/tmp/a b/フォント.dat";
    const Refusal refusals[] = {
        {{}, "ファイル " + path + " は 0 バイトしかありません"},
        {{8, 0, 7}, "ファイル " + path + " は 3 バイトしかありません"},
        {Bytes(10, 0), "ファイル " + path + " は 10 バイトしかありません"},
        {Bytes{9, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         "ファイル " + path + " は 17 バイトしかありません"},
        {Bytes{17, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         "ファイル " + path + " の幅 17 は 16 を超えています"},
        {Bytes(18, 0xFF), "ファイル " + path + " の幅 255 は 16 を超えています"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.message);
        CellGrid grid = GridWithWidth(8);
        grid.Toggle(2, 2);
        const CellGrid before = grid;
        EXPECT_EQ(MessageOf<EGlyphFormatError>([&] { ReadGlyph(r.bytes, grid, path); }), r.message);
        EXPECT_EQ(grid, before);

        std::stringstream stream(std::string(r.bytes.begin(), r.bytes.end()));
        EXPECT_THROW(ReadGlyph(stream, grid, path), EGlyphFormatError);
        EXPECT_EQ(grid, before);
    }
}

TEST(GlyphFile, WriterRefusesWidthsOutsideTheGridBeforeWriting) {
    const CellGrid grid = GridWithWidth(8);
    for (int width : {-1, -9, 17, 99, 256}) {
        std::stringstream out;
        EXPECT_EQ(MessageOf<EWidthRangeError>([&] { WriteGlyph(out, grid, width); }),
                  "幅 " + std::to_string(width) + " は 0 から 16 の範囲外です");
        EXPECT_TRUE(out.str().empty());
    }
}

}  // namespace
}  // namespace glyph
