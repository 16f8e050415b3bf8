#include "formats/sfnt/ChosenGlyphs.h"

#include "font/Failure.h"

namespace font {

Font ChosenGlyphs(const WriteRequest& request) {
    const std::vector<CharRange> ranges = ChosenRanges(request.values);
    Font chosen;
    for (const Glyph& glyph : request.font.glyphs)
        if (Picks(ranges, glyph.codePoint)) chosen.glyphs.push_back(glyph);
    if (chosen.glyphs.empty() && !ranges.empty())
        throw Failure("no glyph of the folder is among the characters chosen");
    return chosen;
}

}  // namespace font
