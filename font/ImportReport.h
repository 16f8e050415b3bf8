#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "font/FontFolder.h"

namespace font {

// What an import read from a font, and what it could not keep.
struct ImportReport {
    Font font;
    std::vector<std::string> warnings;  // one a skipped or clipped character
    int skipped = 0;     // too wide, not a character, a second glyph, or lost to its reader
    int clipped = 0;     // lost pixels outside the cells or the width
    std::string source;  // which strike, size or table was used

    // Counts a character as skipped, with the warning "FONT: WHAT; skipped".
    void Skip(const std::string& fontName, const std::string& what);

    // A blank glyph for `cp` of `width` columns, or nothing (and the character
    // skipped) when the width is outside 0 to 16.
    std::optional<Glyph> Start(const std::string& fontName, char32_t cp, long width);

    // Keeps `glyph`; `dropped` set pixels found no cell, which clips it.
    void Keep(const std::string& fontName, Glyph glyph, std::int64_t dropped);
};

// Sets the pixel at (col, row) when it lies inside the glyph's width and its
// 7 rows; false when it finds no cell there.
bool SetPixel(Glyph& glyph, int col, int row);

}  // namespace font
