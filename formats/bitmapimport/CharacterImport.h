#pragma once

#include <optional>
#include <set>
#include <string>

#include "font/BitmapPixels.h"
#include "font/ImportReport.h"
#include "formats/bitmapimport/CharacterCodes.h"

namespace font {

// The import of a bitmap font's glyphs by the codes of its character map,
// in code order, into a report: which codes become characters, and each
// kept glyph drawn into the cells. Says why a code is skipped.
class CharacterImport {
  public:
    // `fontName` and `report` outlive this.
    CharacterImport(const std::string& fontName, CharacterCodes codes, ImportReport& report)
        : name_(fontName), codes_(codes), report_(report) {}

    // The character `code` gives when it was asked for and has no glyph yet;
    // else nothing, skipped with a warning when the code stands for no
    // character it could keep.
    std::optional<char32_t> Admit(unsigned long code);

    // Keeps the character's glyph, `width` columns wide, drawn from `bitmap`
    // (none for a glyph without one) with its top-left pixel at column
    // `left` and row `top` of the cells; skips a width outside 0 to 16.
    void Keep(char32_t cp, long width, const BitmapView* bitmap, long left, long top);

    void Skip(const std::string& what) { report_.Skip(name_, what); }
    const CharacterCodes& Codes() const { return codes_; }

  private:
    const std::string& name_;
    CharacterCodes codes_;
    ImportReport& report_;
    std::set<char32_t> imported_;
};

}  // namespace font
