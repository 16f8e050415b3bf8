#pragma once

#include <optional>
#include <string_view>

#include "font/FontFormat.h"

namespace formats {

// --ascent N and --font NAME, which place and pick the fonts of C headers.
const font::OptionGroup& CHeaderFontOptions();

// The text of a C file, read whole. Raises NotThisFormat, saying why, when
// it is larger than `maxBytes` (the most `what` may take) or holds a NUL
// byte.
std::string_view CSourceText(const font::FontFile& file, std::size_t maxBytes,
                             std::string_view what);

// The font of a C header holding a display library's font, when the one it
// holds has a source starting with `source` ("its GFX font").
std::optional<font::ImportReport> ReadCHeaderFont(const font::FontFile& file,
                                                  const font::ReadOptions& options,
                                                  std::string_view source);

}  // namespace formats
