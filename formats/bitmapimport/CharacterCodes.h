#pragma once

#include <optional>
#include <string>
#include <vector>

#include "font/CharRange.h"
#include "formats/charset/Charset.h"

namespace font {

// The codes of a font's character map as characters: code points of a
// Unicode map, or codes of the font's charset converted; and which of those
// characters were asked for.
class CharacterCodes {
  public:
    // `charset` is null for a Unicode map; it and `ranges` outlive this.
    CharacterCodes(const Charset* charset, const std::vector<CharRange>& ranges)
        : charset_(charset), ranges_(&ranges) {}

    // The character a code stands for, if any; a Unicode code too large for
    // a code point stays past Unicode.
    std::optional<char32_t> CodePoint(unsigned long code) const;
    bool Wanted(char32_t cp) const { return Picks(*ranges_, cp); }
    bool WantsAll() const { return ranges_->empty(); }
    // A code as the user reads it: a code point label for a Unicode map, a
    // hexadecimal code otherwise.
    std::string Label(unsigned long code) const;
    const Charset* charset() const { return charset_; }

  private:
    const Charset* charset_;
    const std::vector<CharRange>* ranges_;
};

}  // namespace font
