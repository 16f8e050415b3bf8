#pragma once

#include "font/FontFormat.h"

namespace formats {

// C tables of code points, widths, offsets and bitmap bytes.
const font::FontFormat& CFormat();

}  // namespace formats
