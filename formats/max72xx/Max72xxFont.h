#pragma once

#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/CodeRun.h"
#include "font/FontFolder.h"

namespace font {

struct Max72xxOptions {
    std::string name;
    int height = 8;  // the height the table declares: a module's
    std::vector<CharRange> ranges;
};

// A font table for the MD_MAX72XX and MD_Parola libraries: 'F', the version,
// the run's first and last code and the height, then for each code its width
// and one byte a column from the left, row r in bit r (0 alone for a code
// without a glyph). Raises Failure for a run past U+FFFF.
FirmwareHeader WriteMax72xxHeader(const Font& font, const Max72xxOptions& options);

}  // namespace font
