#pragma once

#include "font/FontFormat.h"

namespace formats {

// The fonts of the Adafruit GFX library (and TFT_eSPI's GFX fonts).
const font::FontFormat& GfxFormat();

}  // namespace formats
