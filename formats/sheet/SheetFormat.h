#pragma once

#include "font/FontFormat.h"

namespace formats {

// A picture of glyphs in a grid of fixed cells, as pixel fonts are shared:
// read only, and only when --cell gives the cells' size.
const font::FontFormat& SheetFormat();

}  // namespace formats
