#include "formats/bitmapimport/BdfGlyphCodes.h"

#include "formats/bitmapimport/BdfLines.h"

namespace font {

std::vector<BdfGlyphCode> ReadBdfGlyphCodes(std::string_view text) {
    std::vector<BdfGlyphCode> glyphs;
    std::string_view name;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view line = NextBdfLine(text, at);
        if (const auto rest = AfterKeyword(line, "STARTCHAR"))
            name = *rest;
        else if (const auto numbers = AfterKeyword(line, "ENCODING"))
            glyphs.push_back({name, BdfGlyphCodeOf(*numbers)});
    }
    return glyphs;
}

}  // namespace font
