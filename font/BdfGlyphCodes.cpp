#include "font/BdfGlyphCodes.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>

namespace font {
namespace {

// The text after a keyword and its blanks, or nothing when `line` does not
// start with the keyword as a word of its own.
std::optional<std::string_view> After(std::string_view line, std::string_view keyword) {
    if (!line.starts_with(keyword)) return std::nullopt;
    line.remove_prefix(keyword.size());
    if (!line.empty() && line.front() != ' ' && line.front() != '\t') return std::nullopt;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    return line;
}

}  // namespace

std::vector<BdfGlyphCode> ReadBdfGlyphCodes(const std::filesystem::path& path) {
    std::vector<BdfGlyphCode> glyphs;
    std::ifstream in(path);
    std::string line;
    std::string name;
    while (std::getline(in, line)) {
        if (const auto rest = After(line, "STARTCHAR")) {
            name = *rest;
        } else if (const auto numbers = After(line, "ENCODING")) {
            const std::string text(*numbers);
            char* end = nullptr;
            long code = std::strtol(text.c_str(), &end, 10);
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
