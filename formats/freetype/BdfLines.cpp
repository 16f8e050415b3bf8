#include "formats/freetype/BdfLines.h"

#include <algorithm>

namespace font {

std::string_view NextBdfLine(std::string_view text, std::size_t& at) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    return line;
}

std::optional<std::string_view> AfterKeyword(std::string_view line, std::string_view keyword) {
    if (!line.starts_with(keyword)) return std::nullopt;
    line.remove_prefix(keyword.size());
    if (!line.empty() && line.front() != ' ' && line.front() != '\t' && line.front() != '\r')
        return std::nullopt;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}

}  // namespace font
