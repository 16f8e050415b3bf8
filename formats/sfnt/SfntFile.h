#pragma once

#include <cstdint>
#include <vector>

#include "formats/sfnt/SfntFont.h"

namespace font {

// The font file holding `tables`: HarfBuzz's face builder lays out the table
// directory and sets every checksum, head's adjustment for the whole file
// among them. Raises Failure when HarfBuzz cannot build it.
std::vector<std::uint8_t> AssembleFontFile(const SfntTables& tables);

}  // namespace font
