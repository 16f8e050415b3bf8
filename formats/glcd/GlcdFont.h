#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/CharRange.h"
#include "font/CodeRun.h"
#include "font/FontFolder.h"
#include "font/ImportReport.h"

namespace font {

struct GlcdOptions {
    std::string name;
    std::vector<CharRange> ranges;
};

// A font of openGLCD and SSD1306Ascii: a big-endian size (0 for a fixed-width
// font), the width, the height 7, the first code and the count, then for a
// variable-width font a width a code (0 for a hole), then the columns. The
// libraries shift a variable-width font's bytes right by 8 - height before
// drawing, so there the top row is bit 1; in a fixed-width font it is bit 0.
// Raises Failure for a run past code 255.
FirmwareHeader WriteGlcdHeader(const Font& font, const GlcdOptions& options);

// The first such font among the byte tables of a C header, or nothing when
// it holds none. Raises Failure, naming `fileName`, for a font taller than 8
// rows or whose ink spans more than 7.
std::optional<ImportReport> ReadGlcdFont(std::string_view text, const std::string& fileName,
                                         const std::vector<CharRange>& ranges);

}  // namespace font
