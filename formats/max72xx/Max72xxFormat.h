#pragma once

#include "font/FontFormat.h"

namespace formats {

// The font tables of the MD_MAX72XX and MD_Parola libraries (MAX7219 LED
// matrices).
const font::FontFormat& Max72xxFormat();

}  // namespace formats
