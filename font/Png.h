#pragma once

#include <cstdint>
#include <vector>

#include "font/PixelLine.h"

namespace font {

// The largest picture side libpng writes without being told otherwise.
inline constexpr long MaxPngSide = 1'000'000;

// A black-on-white PNG of `line`, each pixel a `scale` × `scale` square, with
// no margin. Raises Failure for a line with no columns or a picture larger
// than MaxPngSide on a side.
std::vector<std::uint8_t> EncodePng(const PixelLine& line, int scale);

}  // namespace font
