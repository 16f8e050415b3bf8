#include "formats/sfnt/PixelOutline.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "font/ImportReport.h"

namespace {

constexpr int Rows = 7;

// A glyph from rows of '#' and '.', the first row the top one.
font::Glyph Drawn(const std::vector<std::string>& rows) {
    font::Glyph glyph = font::BlankGlyph(U'x', static_cast<int>(rows.front().size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row)
        for (int col = 0; col < glyph.width; ++col)
            if (rows[row][col] == '#') font::SetPixel(glyph, col, row);
    return glyph;
}

// Twice the area a contour encloses, negative when it runs clockwise.
long TwiceArea(const font::Contour& contour) {
    long sum = 0;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const font::GridPoint a = contour[i], b = contour[(i + 1) % contour.size()];
        sum += static_cast<long>(a.x) * b.y - static_cast<long>(b.x) * a.y;
    }
    return sum;
}

// How many times the contours wind around the point (x, y), clockwise
// counted positive, as TrueType's non-zero rule counts them.
int Winding(const std::vector<font::Contour>& contours, double x, double y) {
    int winding = 0;
    for (const font::Contour& contour : contours)
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const font::GridPoint a = contour[i], b = contour[(i + 1) % contour.size()];
            if (a.x != b.x) continue;  // only vertical edges cross a horizontal ray
            if (a.x <= x) continue;
            if (y > std::min(a.y, b.y) && y < std::max(a.y, b.y)) winding += b.y < a.y ? 1 : -1;
        }
    return winding;
}

struct Shape {
    const char* what;
    std::vector<std::string> rows;
    int outer;  // contours running clockwise
    int holes;  // contours running counter-clockwise
};

TEST(PixelOutlineTest, OneContourARegionAndOneAHoleWoundAsTrueTypeFills) {
    const Shape shapes[] = {
        {"nothing set", {"...", "...", "...", "...", "...", "...", "..."}, 0, 0},
        {"one pixel", {"#..", "...", "...", "...", "...", "...", "..."}, 1, 0},
        {"an L", {"#..", "#..", "###", "...", "...", "...", "..."}, 1, 0},
        {"an O", {"#####", "#...#", "#...#", "#...#", "#####", ".....", "....."}, 1, 1},
        {"a rounded O is four strokes meeting at corners",
         {".###.", "#...#", "#...#", "#...#", ".###.", ".....", "....."},
         4,
         0},
        {"a 0 with a dot", {"#####", "#...#", "#.#.#", "#...#", "#####", ".....", "....."}, 2, 1},
        {"two holes", {"#####", "#.#.#", "#####", ".....", ".....", ".....", "....."}, 1, 2},
        {"a diagonal touch stays two regions", {"#.", ".#", "..", "..", "..", "..", ".."}, 2, 0},
        {"the other diagonal", {".#", "#.", "..", "..", "..", "..", ".."}, 2, 0},
        {"a diamond of four regions", {".#.", "#.#", ".#.", "...", "...", "...", "..."}, 4, 0},
        {"a ring closed by a diagonal touch keeps its hole",
         {"###", "#.#", "##.", "...", "...", "...", "..."},
         1,
         1},
        {"a full cell of 16 columns", std::vector<std::string>(Rows, std::string(16, '#')), 1, 0},
    };
    for (const Shape& shape : shapes) {
        const std::vector<font::Contour> contours = font::TraceOutline(Drawn(shape.rows));
        int outer = 0, holes = 0;
        for (const font::Contour& contour : contours) (TwiceArea(contour) < 0 ? outer : holes)++;
        EXPECT_EQ(outer, shape.outer) << shape.what;
        EXPECT_EQ(holes, shape.holes) << shape.what;
    }
}

// Every contour's points lie on the grid, at corners only, none twice, and
// the contours together cover exactly the set pixels, each once.
void ExpectExactOutline(const font::Glyph& glyph) {
    const std::vector<font::Contour> contours = font::TraceOutline(glyph);
    for (const font::Contour& contour : contours) {
        ASSERT_GE(contour.size(), 4u);
        EXPECT_NE(TwiceArea(contour), 0);
        std::set<std::pair<int, int>> seen;
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const font::GridPoint before = contour[(i + contour.size() - 1) % contour.size()];
            const font::GridPoint p = contour[i], after = contour[(i + 1) % contour.size()];
            EXPECT_TRUE(p.x >= 0 && p.x <= glyph.width && p.y >= 0 && p.y <= Rows);
            EXPECT_TRUE(seen.insert({p.x, p.y}).second) << "a point repeats";
            EXPECT_TRUE(p.x == after.x || p.y == after.y) << "an edge off the grid";
            const bool straight =
                (before.x == p.x && p.x == after.x) || (before.y == p.y && p.y == after.y);
            EXPECT_FALSE(straight) << "a point that is no corner";
        }
    }
    for (int row = 0; row < Rows; ++row)
        for (int col = 0; col < glyph.width; ++col)
            ASSERT_EQ(Winding(contours, col + 0.5, Rows - row - 0.5), glyph.Pixel(col, row) ? 1 : 0)
                << "pixel " << col << "," << row;
}

TEST(PixelOutlineTest, RandomGlyphsAreCoveredExactlyByCornersOnTheGrid) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const int width = round % 17;
        font::Glyph glyph = font::BlankGlyph(U'x', width);
        const int density = 20 + round % 70;
        for (int row = 0; row < Rows; ++row)
            for (int col = 0; col < width; ++col)
                if (static_cast<int>(random() % 100) < density) font::SetPixel(glyph, col, row);
        ExpectExactOutline(glyph);
    }
}

}  // namespace
