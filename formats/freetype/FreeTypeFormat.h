#pragma once

#include "font/FontFormat.h"

namespace formats {

// Every font FreeType opens: BDF, PCF, PCF.gz, Windows FON, OpenType bitmap
// and scalable fonts.
const font::FontFormat& FreeTypeFormat();

}  // namespace formats
