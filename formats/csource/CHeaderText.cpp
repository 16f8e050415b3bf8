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

std::string_view CHeaderText(const font::FontFile& file) {
    const std::string_view text = file.Text();
    if (!file.whole || text.size() > MaxHeaderSize)
        throw font::NotThisFormat("and larger than the " + std::to_string(MaxHeaderSize >> 20) +
                                  " MiB a C header may take");
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        throw font::NotThisFormat(
            "nor text (a NUL byte on line " +
            std::to_string(std::count(text.begin(), text.begin() + static_cast<long>(nul), '\n') +
                           1) +
            ")");
    return text;
}

}  // namespace formats
