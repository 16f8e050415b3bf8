#pragma once

#include "font/FontFormat.h"

namespace formats {

// yaff, the plain-text bitmap font format of monobit.
const font::FontFormat& YaffFormat();

}  // namespace formats
