#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace font {

// The small font a chart's labels are drawn in, so that a chart depends on
// no installed font: 3 x 5 pixels a character, one column between two.
// It holds digits, capitals, the space and a few signs; any other character
// is drawn as '?'.
namespace label_font {

inline constexpr int Width = 3;
inline constexpr int Height = 5;
inline constexpr int Advance = Width + 1;

// The character's rows, bit 2 the leftmost column; the space has none set.
using Rows = std::array<std::uint8_t, Height>;
Rows Glyph(char c);

// The character whose rows these are, if the font has one.
std::optional<char> Character(const Rows& rows);

// `text` as the label font spells it: letters in capitals, and '?' for what
// it does not have.
std::string Spell(std::string_view text);

}  // namespace label_font
}  // namespace font
