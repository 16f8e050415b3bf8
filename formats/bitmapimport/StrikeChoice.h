#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "font/ImportReport.h"
#include "font/InkRows.h"

namespace font {

// The font row that becomes row 0, by the ink of every glyph the character
// map reaches (`all`), or failing that, when only some characters were asked
// for, by the ink of those (`wanted`); with the ink it went by.
std::pair<std::optional<int>, InkRows> TopRowByInk(const InkRows& all, const InkRows& wanted,
                                                   bool wantsAll, int declaredTop);

// The choice among a bitmap font's strikes, judged tallest first: the first
// whose glyphs' ink fits 7 rows, else the tallest of 1 to 7 pixels, clipped.
class StrikeChoice {
  public:
    // The top row of strike `strike` of `height` pixels, whose ascent puts
    // `declaredTop` at row 0, when its ink fits 7 rows.
    std::optional<int> Judge(std::size_t strike, int height, int declaredTop, const InkRows& all,
                             const InkRows& wanted, bool wantsAll);
    // The strike to take clipped when none fits, if any.
    std::optional<std::size_t> Clipped() const { return clipped_; }
    // Why no strike was taken: "its glyphs' ink spans more than 7 rows (9 rows
    // in its 13-pixel strike), and it has no outlines".
    std::string NoneFits() const;

  private:
    std::optional<std::size_t> clipped_;
    std::string spans_;
};

// Adds what taking a strike of `height` pixels with `top` at row 0 says: the
// rows of a taller strike taken, or the ink moving the rows off the ascent.
void SayStrikeRows(ImportReport& report, const std::string& fontName, int height, int top,
                   int declaredTop);

// Adds "its 7 rows start at …" when the ink moved row 0 off `declaredTop`.
void SayMovedRows(ImportReport& report, const std::string& fontName, int top, int declaredTop);

}  // namespace font
