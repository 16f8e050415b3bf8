#pragma once

#include <cstdint>
#include <vector>

#include "formats/sfnt/SfntFont.h"

namespace font {

// The font file holding `tables`: HarfBuzz's face builder lays out the table
// directory and the checksums, then head's checksum adjustment is set for the
// whole file. Raises Failure when HarfBuzz cannot build it.
std::vector<std::uint8_t> AssembleFontFile(const SfntTables& tables);

}  // namespace font
