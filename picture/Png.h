#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "font/PixelLine.h"

namespace font {

// The largest picture side libpng writes without being told otherwise.
inline constexpr long MaxPngSide = 1'000'000;

// A black-on-white PNG of `line`, each pixel a `scale` × `scale` square, with
// no margin. Raises Failure for a line with no columns or a picture larger
// than MaxPngSide on a side.
std::vector<std::uint8_t> EncodePng(const PixelLine& line, int scale);

// An 8-bit indexed PNG of `width` × `height` pixels in the colours of
// `palette`; `fillRow(y, row)` sets each row's palette indices. Nothing but
// the pixels goes into the file, so the same picture gives the same bytes.
// Raises Failure when libpng cannot write it.
using PaletteColor = std::array<std::uint8_t, 3>;
std::vector<std::uint8_t> EncodeIndexedPng(
    long width, long height, const std::vector<PaletteColor>& palette,
    const std::function<void(long y, std::vector<std::uint8_t>& row)>& fillRow);

}  // namespace font
