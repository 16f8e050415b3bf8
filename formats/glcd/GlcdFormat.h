#pragma once

#include "font/FontFormat.h"

namespace formats {

// The fonts of openGLCD and SSD1306Ascii (graphic LCDs and small OLEDs).
const font::FontFormat& GlcdFormat();

}  // namespace formats
