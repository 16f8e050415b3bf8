#include "formats/csource/CHeaderText.h"

#include <algorithm>
#include <string>

#include "font/FontFormat.h"

namespace formats {
namespace {

// The largest C header read as a font: four times the text of a table of
// all 65,536 codes, which bounds the memory a header takes.
constexpr std::size_t MaxHeaderSize = std::size_t{32} << 20;

}  // namespace

std::string_view CSourceText(const font::FontFile& file, std::size_t maxBytes,
                             std::string_view what) {
    const std::string_view text = file.Text();
    if (!file.whole || text.size() > maxBytes)
        throw font::NotThisFormat("and larger than the " + std::to_string(maxBytes >> 20) +
                                  " MiB " + std::string(what) + " may take");
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        throw font::NotThisFormat(
            "nor text (a NUL byte on line " +
            std::to_string(std::count(text.begin(), text.begin() + static_cast<long>(nul), '\n') +
                           1) +
            ")");
    return text;
}

std::string_view CHeaderText(const font::FontFile& file) {
    return CSourceText(file, MaxHeaderSize, "a C header");
}

}  // namespace formats
