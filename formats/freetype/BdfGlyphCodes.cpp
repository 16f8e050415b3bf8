#include "formats/freetype/BdfGlyphCodes.h"

#include <cstdlib>
#include <string>

#include "formats/freetype/BdfLines.h"

namespace font {

std::vector<BdfGlyphCode> ReadBdfGlyphCodes(std::string_view text) {
    std::vector<BdfGlyphCode> glyphs;
    std::string_view name;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view line = NextBdfLine(text, at);
        if (const auto rest = AfterKeyword(line, "STARTCHAR")) {
            name = *rest;
        } else if (const auto numbers = AfterKeyword(line, "ENCODING")) {
            const std::string numberText(*numbers);
            char* end = nullptr;
            long code = std::strtol(numberText.c_str(), &end, 10);
            if (code < -1) code = -1;
            if (code == -1) {
                char* alternativeEnd = nullptr;
                const long alternative = std::strtol(end, &alternativeEnd, 10);
                if (alternativeEnd != end) code = alternative < -1 ? -1 : alternative;
            }
            glyphs.push_back({name, code});
        }
    }
    return glyphs;
}

}  // namespace font
