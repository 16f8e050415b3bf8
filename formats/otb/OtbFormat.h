#pragma once

#include "font/FontFormat.h"

namespace formats {

// A bitmap-only OpenType font: one strike of 7 pixels per em.
const font::FontFormat& OtbFormat();

}  // namespace formats
