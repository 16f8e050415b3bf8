#pragma once

#include <cstddef>
#include <string_view>

#include "font/FontFile.h"

namespace formats {

// The text of a C file, read whole. Raises font::NotThisFormat, saying why,
// when it is larger than `maxBytes` (the most `what` may take, which bounds
// the time and memory reading it takes) or holds a NUL byte.
std::string_view CSourceText(const font::FontFile& file, std::size_t maxBytes,
                             std::string_view what);

// The text of a file read as a C header holding a font: CSourceText with the
// size a header may have.
std::string_view CHeaderText(const font::FontFile& file);

}  // namespace formats
