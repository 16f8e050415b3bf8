#include "glyph/CellGrid.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace glyph {
namespace {

// Expects columns below `width` to hold only clRed/clWindow and the rest clBtnFace.
void ExpectWidthInvariant(const CellGrid& grid, int width) {
    for (int col = 0; col < CellGrid::ColCount; ++col)
        for (int row = 0; row < CellGrid::RowCount; ++row) {
            const TColor cell = grid.Get(col, row);
            if (col < width)
                EXPECT_TRUE(IsSet(cell) || IsClear(cell)) << col << "," << row;
            else
                EXPECT_EQ(cell, clBtnFace) << col << "," << row;
        }
}

TEST(CellGrid, ColourValuesAreTheWindowSystemOnes) {
    EXPECT_EQ(clRed, 0x000000FF);
    EXPECT_EQ(static_cast<std::uint32_t>(clWindow), 0xFF000005u);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0xFF00000Fu);
    EXPECT_LT(clWindow, 0);  // signed 32-bit
}

TEST(CellGrid, StorageIsColumnMajor) {
    EXPECT_EQ(CellGrid::Index(0, 0), 0);
    EXPECT_EQ(CellGrid::Index(0, 6), 6);
    EXPECT_EQ(CellGrid::Index(1, 0), 7);
    EXPECT_EQ(CellGrid::Index(15, 6), 111);
}

TEST(CellGrid, InitialiseMarksColumnsFromTheWidthOutside) {
    for (int width : {0, 1, 8, 15, 16}) {
        CellGrid grid;
        grid.Set(3, 3, clRed);
        grid.Initialise(width);
        for (int col = 0; col < CellGrid::ColCount; ++col)
            for (int row = 0; row < CellGrid::RowCount; ++row)
                EXPECT_EQ(grid.Get(col, row), col < width ? clWindow : clBtnFace)
                    << "width " << width << " cell " << col << "," << row;
    }
}

TEST(CellGrid, ToggleFlipsInsideCellsOnly) {
    CellGrid grid;
    grid.Initialise(8);
    grid.Toggle(2, 5);
    EXPECT_EQ(grid.Get(2, 5), clRed);
    grid.Toggle(2, 5);
    EXPECT_EQ(grid.Get(2, 5), clWindow);
    grid.Toggle(9, 1);
    EXPECT_EQ(grid.Get(9, 1), clBtnFace);
    grid.Set(0, 0, 0x00123456);
    grid.Toggle(0, 0);
    EXPECT_EQ(grid.Get(0, 0), 0x00123456);
}

TEST(CellGrid, WidthZeroMakesEveryCellOutsideAndToggleInert) {
    CellGrid grid;
    grid.Initialise(8);
    grid.Toggle(0, 0);
    grid.ApplyWidth(0);
    const CellGrid before = grid;
    for (int col = 0; col < CellGrid::ColCount; ++col)
        for (int row = 0; row < CellGrid::RowCount; ++row) grid.Toggle(col, row);
    EXPECT_EQ(grid, before);
    ExpectWidthInvariant(grid, 0);
}

TEST(CellGrid, NarrowingLosesPixelsAndWideningBringsColumnsBackClear) {
    CellGrid grid;
    grid.Initialise(8);
    for (int row = 0; row < CellGrid::RowCount; ++row) {
        grid.Toggle(1, row);
        grid.Toggle(6, row);
    }
    grid.ApplyWidth(4);
    ExpectWidthInvariant(grid, 4);
    grid.ApplyWidth(8);
    ExpectWidthInvariant(grid, 8);
    for (int row = 0; row < CellGrid::RowCount; ++row) {
        EXPECT_EQ(grid.Get(1, row), clRed) << "kept inside the old width";
        for (int col = 4; col < 8; ++col) EXPECT_EQ(grid.Get(col, row), clWindow);
    }
}

TEST(CellGrid, WidthSixteenLeavesNothingOutside) {
    CellGrid grid;
    grid.Initialise(8);
    grid.Toggle(7, 6);
    grid.ApplyWidth(16);
    ExpectWidthInvariant(grid, 16);
    EXPECT_EQ(grid.Get(7, 6), clRed);
    EXPECT_EQ(grid.Get(15, 6), clWindow);
}

TEST(CellGrid, ResetClearsEveryPixel) {
    CellGrid grid;
    grid.Initialise(16);
    grid.Toggle(0, 0);
    grid.Toggle(15, 6);
    grid.Reset(8);
    CellGrid expected;
    expected.Initialise(8);
    EXPECT_EQ(grid, expected);
}

TEST(CellGrid, OutOfRangeWidthsAreClampedAndCoordinatesChecked) {
    CellGrid grid;
    grid.Initialise(-5);
    ExpectWidthInvariant(grid, 0);
    grid.ApplyWidth(1000);
    ExpectWidthInvariant(grid, 16);
    grid.Reset(-1);
    ExpectWidthInvariant(grid, 0);
    grid.Reset(17);
    ExpectWidthInvariant(grid, 16);

    EXPECT_THROW(grid.Get(16, 0), std::out_of_range);
    EXPECT_THROW(grid.Get(0, 7), std::out_of_range);
    EXPECT_THROW(grid.Set(-1, 0, clRed), std::out_of_range);
    const CellGrid before = grid;
    grid.Toggle(16, 0);
    grid.Toggle(0, -1);
    EXPECT_EQ(grid, before);
}

}  // namespace
}  // namespace glyph
