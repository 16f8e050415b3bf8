#include "formats/chart/ChartLayout.h"

namespace font {

std::optional<ChartLayout> ChartLayout::OfImage(long width, long height) {
    if (width <= 0 || width % WidthUnits != 0) return std::nullopt;
    const long scale = width / WidthUnits;
    if (scale < MinScale || scale > MaxScale) return std::nullopt;
    const long grid = height - 16 * scale;
    if (grid <= 0 || grid % (8 * scale) != 0) return std::nullopt;
    return ChartLayout{static_cast<int>(scale), static_cast<int>(grid / (8 * scale))};
}

std::optional<int> ChartLayout::LargestScale(int rows, long maxPixels) {
    for (int scale = MaxScale; scale >= MinScale; --scale)
        if (ChartLayout{scale, rows}.Pixels() <= maxPixels) return scale;
    return std::nullopt;
}

}  // namespace font
