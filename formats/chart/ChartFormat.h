#pragma once

#include "font/FontFormat.h"

namespace formats {

// A PNG chart of a whole font, as glyphtool chart draws it and an image
// editor may have drawn on it since.
const font::FontFormat& ChartFormat();

}  // namespace formats
