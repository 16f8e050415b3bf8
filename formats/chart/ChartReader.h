#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/ImportReport.h"
#include "formats/chart/ChartLayout.h"

namespace font {

// Whether the bytes start as a PNG file does.
bool IsPng(std::span<const std::uint8_t> bytes);

// Reads the glyphs back from a chart that ChartPng drew, also after an image
// editor saved it again in another colour type or drew on it. The grid is
// found from the picture alone: its size gives the scale and the rows, the
// column headings must read 0 to F, and each row's label gives its first
// code point. A cell's width is where its grey columns begin; a pixel is set
// when it is dark (luminance below one half, fully transparent counts as
// clear), taken at the centre of each scaled pixel. Raises Failure, naming
// `fileName`, with the reason and the position in pixels for a picture that
// is not such a chart.
ImportReport ReadChart(std::span<const std::uint8_t> png, const std::string& fileName,
                       const std::vector<CharRange>& ranges, long maxPixels = MaxChartPixels);

}  // namespace font
