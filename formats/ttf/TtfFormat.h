#pragma once

#include "font/FontFormat.h"

namespace formats {

// TrueType with outlines that are the pixels' edges, 7 pixels to the em.
const font::FontFormat& TtfFormat();

}  // namespace formats
