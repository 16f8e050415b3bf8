#pragma once

#include <string_view>

#include "font/FontFile.h"

namespace formats {

// The text of a file read as a C header. Raises font::NotThisFormat, with
// the reason, for a file larger than a header may be (which bounds the time
// and memory reading it takes) or one holding a NUL byte.
std::string_view CHeaderText(const font::FontFile& file);

}  // namespace formats
