#include <gtest/gtest.h>

#include "formats/chart/ChartLayout.h"

namespace {

using font::ChartLayout;

// The largest scale fits the limit and the next one does not; none means
// that not even the smallest fits.
TEST(ChartLayout, TheLargestScaleIsTheLastThatFitsTheLimit) {
    const int rowCounts[] = {1, 2, 167, 1700, 26970, 26971, 69632};
    for (const long limit : {font::MaxChartPixels, 1L << 20, 311L * 24}) {
        for (const int rows : rowCounts) {
            SCOPED_TRACE(std::to_string(rows) + " rows, " + std::to_string(limit) + " pixels");
            const auto scale = ChartLayout::LargestScale(rows, limit);
            if (!scale) {
                EXPECT_GT((ChartLayout{ChartLayout::MinScale, rows}.Pixels()), limit);
                continue;
            }
            EXPECT_GE(*scale, ChartLayout::MinScale);
            EXPECT_LE(*scale, ChartLayout::MaxScale);
            EXPECT_LE((ChartLayout{*scale, rows}.Pixels()), limit);
            if (*scale < ChartLayout::MaxScale) {
                EXPECT_GT((ChartLayout{*scale + 1, rows}.Pixels()), limit);
            }
        }
    }
}

}  // namespace
