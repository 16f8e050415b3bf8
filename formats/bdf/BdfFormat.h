#pragma once

#include "font/FontFormat.h"

namespace formats {

// BDF 2.1, the X Window System's bitmap font source format.
const font::FontFormat& BdfFormat();

}  // namespace formats
