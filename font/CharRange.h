#pragma once

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace font {

// An inclusive range of code points, as --chars gives it.
struct CharRange {
    char32_t first;
    char32_t last;
};

// Whether `ranges` pick `cp`; no ranges pick every code point.
inline bool Picks(const std::vector<CharRange>& ranges, char32_t cp) {
    return ranges.empty() || std::any_of(ranges.begin(), ranges.end(), [cp](CharRange r) {
               return cp >= r.first && cp <= r.last;
           });
}

// A range of code points as typed: "0x20-0x7E", "U+3040-U+309F", "65", or a
// single code point in any of those forms. Nothing for any other text, or for
// a range that runs backwards or past U+10FFFF.
std::optional<CharRange> ParseCharRange(std::string_view text);

}  // namespace font
