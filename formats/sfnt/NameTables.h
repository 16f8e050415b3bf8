#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/sfnt/SfntFont.h"

namespace font {

// The family with what PostScript names may not hold left out, and the
// style after it: "Tiny 5x7" gives "Tiny5x7-Regular".
std::string PostScriptName(const std::string& family);

// The name table: family, style "Regular", unique, full and PostScript
// names and a version, for Windows in Unicode.
std::vector<std::uint8_t> WriteNameTable(const SfntFont& font);

// The post table: the underline, whether the font is monospaced, and
// every glyph's name (version 2) unless there are too many to number.
std::vector<std::uint8_t> WritePostTable(const SfntFont& font);

}  // namespace font
