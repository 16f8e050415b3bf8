#pragma once

#include <array>
#include <optional>
#include <string>

namespace font {

// The characters the 256 codes of a classic 5x7 table stand for: cp437 (the
// IBM PC's, which Adafruit GFX draws with cp437(true), its symbols at the
// control codes included) or latin1. Codes of control characters stand for
// none.
class ClassicCodePage {
  public:
    // Raises Failure for a code page iconv cannot convert.
    explicit ClassicCodePage(const std::string& name);

    std::optional<char32_t> CharacterOf(unsigned code) const { return characters_[code]; }
    // The code that stands for `cp`, or nothing.
    std::optional<unsigned> CodeOf(char32_t cp) const;

  private:
    std::array<std::optional<char32_t>, 256> characters_;
};

}  // namespace font
