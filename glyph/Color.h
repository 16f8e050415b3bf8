#pragma once

#include <cstdint>

namespace glyph {

// A colour in the window system's 32-bit encoding: a value whose top byte is
// 0xFF names a system colour by its low byte, any other value is 0x00BBGGRR.
using TColor = std::int32_t;

inline constexpr TColor clRed = 0x000000FF;
inline constexpr TColor clWindow = static_cast<TColor>(0xFF000005u);
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);

}  // namespace glyph
