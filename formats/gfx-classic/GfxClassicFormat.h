#pragma once

#include "font/FontFormat.h"

namespace formats {

// Adafruit GFX's built-in 5x7 font (glcdfont.c) and QMK's OLED font.
const font::FontFormat& GfxClassicFormat();

}  // namespace formats
