#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/ImportReport.h"
#include "formats/chart/ChartLayout.h"
#include "picture/PngImage.h"

namespace font {

// Reads the glyphs back from a chart that ChartPng drew, also after an image
// editor saved it again in another colour type or drew on it. The grid is
// found from the picture alone: its size gives the scale and the rows, the
// column headings must read 0 to F, and each row's label gives its first
// code point. A cell's width is where its grey columns begin; a pixel is set
// when it is dark (luminance below one half, fully transparent counts as
// clear), taken at the centre of each scaled pixel. Raises NotThisFormat for
// a picture without the grid, and Failure, naming `fileName`, for a chart it
// cannot read; each with the reason and the position in pixels.
ImportReport ReadChart(std::span<const std::uint8_t> png, const std::string& fileName,
                       const std::vector<CharRange>& ranges, long maxPixels = MaxChartPixels);

}  // namespace font
