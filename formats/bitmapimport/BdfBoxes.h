#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace font {

// True when the bytes start as a BDF font does: STARTFONT, after any COMMENT
// lines and blank lines.
bool IsBdf(std::span<const std::uint8_t> bytes);

// The glyph boxes of a BDF font, looked at as they are met, so that a font
// whose boxes alone would have its reader allocate far more than a font of
// 7-row glyphs needs is refused before any bitmap is read: one box wider or
// higher than MaxGlyphBoxSide, or boxes asking for more than
// MaxBdfBitmapBytes of bitmap in all.
class BdfBoxBudget {
  public:
    explicit BdfBoxBudget(const std::string& fileName) : fileName_(fileName) {}

    // The words after SIZE: its fourth number, 2, 4 or 8, is the bits a pixel.
    void Size(std::string_view words);
    // The words after BBX, on line `lineNumber` of glyph `glyphName`. Raises
    // Failure naming the file, the glyph and the line.
    void Box(std::string_view words, std::string_view glyphName, std::size_t lineNumber);
    // The same for a box whose width and height are read.
    void Box(std::uint64_t width, std::uint64_t height, std::string_view glyphName,
             std::size_t lineNumber);

  private:
    const std::string& fileName_;
    std::uint64_t bitsPerPixel_ = 1;
    std::uint64_t total_ = 0;
};

// Refuses a BDF font as BdfBoxBudget does, looking at every SIZE, STARTCHAR
// and BBX line of the text.
void CheckBdfBoxes(std::string_view text, const std::string& fileName);

}  // namespace font
