#pragma once

#include <optional>
#include <string_view>

#include "font/FontFormat.h"

namespace formats {

// --ascent N and --font NAME, which place and pick the fonts of C headers.
const font::OptionGroup& CHeaderFontOptions();

// The font of a C header holding a display library's font, when the one it
// holds has a source starting with `source` ("its GFX font").
std::optional<font::ImportReport> ReadCHeaderFont(const font::FontFile& file,
                                                  const font::ReadOptions& options,
                                                  std::string_view source);

}  // namespace formats
