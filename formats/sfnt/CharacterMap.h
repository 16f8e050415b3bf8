#pragma once

#include <cstdint>
#include <vector>

#include "formats/sfnt/SfntFont.h"

namespace font {

// The cmap table: a Windows Unicode BMP subtable (format 4) for the
// characters below U+FFFF and, when a character lies beyond them or they
// need more segments than format 4 holds, a Windows full Unicode subtable
// (format 12) for every character.
std::vector<std::uint8_t> WriteCharacterMap(const SfntFont& font);

}  // namespace font
