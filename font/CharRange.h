#pragma once

#include <algorithm>
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

}  // namespace font
