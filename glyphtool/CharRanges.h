#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "font/FontImport.h"

// A range of code points as typed: "0x20-0x7E", "U+3040-U+309F", "65", or a
// single code point in any of those forms. Nothing for any other text, or for
// a range that runs backwards or past U+10FFFF.
std::optional<font::CharRange> ParseCharRange(std::string_view text);
