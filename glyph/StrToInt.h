#pragma once

#include <string_view>

namespace glyph {

// Strict integer conversion of user text: leading spaces, one optional sign,
// then decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or
// "0X". Anything else, or a value outside 32 bits, raises EConvertError with
// the text in its message.
int StrToInt(std::string_view text);

}  // namespace glyph
