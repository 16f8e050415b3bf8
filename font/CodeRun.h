#pragma once

#include <string>
#include <vector>

#include "font/CharRange.h"
#include "font/FontFolder.h"

namespace font {

// The glyphs of a font laid over one contiguous run of codes, as the fonts of
// display libraries hold them.
struct CodeRun {
    char32_t first = 0;
    char32_t last = 0;
    std::vector<const Glyph*> slots;  // one a code from first to last; null for a hole
    std::size_t holes = 0;

    const Glyph* At(char32_t cp) const { return slots[cp - first]; }
};

// The glyphs `ranges` pick (every glyph when there are none), in code point
// order. Raises Failure when none is picked.
std::vector<const Glyph*> PickedGlyphs(const Font& font, const std::vector<CharRange>& ranges);

// The glyphs `ranges` pick (every glyph when there are none), over the run
// from the smallest to the largest of them. Raises Failure, naming `format`,
// when none is picked or the run reaches past U+FFFF.
CodeRun ContiguousRun(const Font& font, const std::vector<CharRange>& ranges,
                      const std::string& format);

// A header for a display library, with what the user should know about it.
struct FirmwareHeader {
    std::string text;
    std::vector<std::string> warnings;
};

// The warnings every such header shares: how many holes the run has, and
// each glyph of width 0, which reads back as a hole.
std::vector<std::string> RunWarnings(const CodeRun& run);

}  // namespace font
