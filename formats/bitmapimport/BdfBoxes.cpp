#include "formats/bitmapimport/BdfBoxes.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "font/Failure.h"
#include "font/FontLimits.h"
#include "font/Unicode.h"
#include "formats/bitmapimport/BdfLines.h"

namespace font {
namespace {

// The next number of `words`, read as an unsigned number as the BDF reader
// does (a sign or anything else reads as 0), at most 2^32.
std::uint64_t NextNumber(std::string_view& words) {
    while (!words.empty() && (words.front() == ' ' || words.front() == '\t'))
        words.remove_prefix(1);
    std::uint64_t value = 0;
    while (!words.empty() && words.front() >= '0' && words.front() <= '9') {
        value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(words.front() - '0'),
                                        std::uint64_t{1} << 32);
        words.remove_prefix(1);
    }
    while (!words.empty() && words.front() != ' ' && words.front() != '\t') words.remove_prefix(1);
    return value;
}

}  // namespace

bool IsBdf(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view line = NextBdfLine(text, at);
        if (line.empty() || line == "\r" || AfterKeyword(line, "COMMENT")) continue;
        return AfterKeyword(line, "STARTFONT").has_value();
    }
    return false;
}

void BdfBoxBudget::Size(std::string_view words) {
    NextNumber(words), NextNumber(words), NextNumber(words);
    if (const std::uint64_t bits = NextNumber(words); bits == 2 || bits == 4 || bits == 8)
        bitsPerPixel_ = bits;
}

void BdfBoxBudget::Box(std::string_view words, std::string_view glyphName, std::size_t lineNumber) {
    const std::uint64_t width = NextNumber(words);
    Box(width, NextNumber(words), glyphName, lineNumber);
}

void BdfBoxBudget::Box(std::uint64_t width, std::uint64_t height, std::string_view glyphName,
                       std::size_t lineNumber) {
    const auto where = [&] {
        return "glyph " + Printable(glyphName) + " (line " + std::to_string(lineNumber) + ")";
    };
    if (width > MaxGlyphBoxSide || height > MaxGlyphBoxSide)
        throw Failure(fileName_ + ": " + where() + " has a box of " + std::to_string(width) +
                      " x " + std::to_string(height) +
                      " pixels, far beyond the 16 x 7 cells; not read");
    total_ += (width * bitsPerPixel_ + 7) / 8 * height;
    if (total_ > MaxBdfBitmapBytes)
        throw Failure(fileName_ + ": its glyph boxes ask for more than " +
                      std::to_string(MaxBdfBitmapBytes >> 20) + " MiB of bitmaps by " + where() +
                      "; not read");
}

void CheckBdfBoxes(std::string_view text, const std::string& fileName) {
    BdfBoxBudget budget(fileName);
    std::string_view glyphName;
    std::size_t lineNumber = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view line = NextBdfLine(text, at);
        ++lineNumber;
        if (const auto size = AfterKeyword(line, "SIZE"))
            budget.Size(*size);
        else if (const auto name = AfterKeyword(line, "STARTCHAR"))
            glyphName = *name;
        else if (const auto box = AfterKeyword(line, "BBX"))
            budget.Box(*box, glyphName, lineNumber);
    }
}

}  // namespace font
