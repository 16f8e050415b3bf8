#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/CharRange.h"
#include "font/FontFolder.h"
#include "font/ImportReport.h"

namespace font {

// What a yaff file says of the font as a whole, besides its glyphs.
struct YaffHeader {
    std::string name;
    int ascent = 6;  // rows above the baseline
    int lineHeight = 8;
};

// The font as a yaff 1.0 file: `encoding: unicode`, each glyph under its
// `u+` label as 7 rows of its width (`-` for a glyph 0 columns wide), the
// baseline under row ascent - 1 (a global shift-up).
std::string WriteYaff(const Font& font, const YaffHeader& header);

// Reads a yaff file as monobit writes it: glyphs labelled by character, by
// code point (as monobit maps them in a unicode or latin-1 encoding) or by
// tag (skipped, as are glyphs of several code points), of any size, placed by
// their shift-up and bearings, global and per glyph. Row 0 is the row
// `ascent` (when given, else the file's own) rows above the baseline when the
// ink fits under it, else the highest ink. Properties it does not need are
// ignored. Nothing when the text is not yaff; raises Failure naming
// `fileName` and the line for a yaff file it cannot read, a font of grey
// levels, or one whose ink spans more than 7 rows.
std::optional<ImportReport> ReadYaff(std::string_view text, const std::string& fileName,
                                     const std::vector<CharRange>& ranges,
                                     std::optional<int> ascent);

}  // namespace font
