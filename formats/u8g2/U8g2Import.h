#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/ImportReport.h"

namespace font {

struct U8g2ImportOptions {
    std::vector<CharRange> ranges;  // the characters to read; all when empty
    std::optional<int> ascent;      // rows above the baseline
};

// The glyphs of the u8g2 font `fontName` in `bytes`, on 7 rows: the ascent
// given, else the top of the font's bounding box when all ink lies within
// the 7 rows below it, else the highest ink in row 0. A glyph is as wide as
// its advance. Raises Failure, naming `fileName`, for a font that cannot be
// read or whose ink spans more than 7 rows; skips a glyph that cannot be
// drawn or that the cells cannot hold, with a warning.
ImportReport ImportU8g2Font(std::span<const std::uint8_t> bytes, const std::string& fileName,
                            const std::string& fontName, const U8g2ImportOptions& options);

}  // namespace font
