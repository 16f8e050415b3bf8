#pragma once

#include "font/FontFormat.h"

namespace formats {

// The fonts of the u8g2 library (and of the libraries that read its arrays).
const font::FontFormat& U8g2Format();

}  // namespace formats
