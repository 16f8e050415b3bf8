#include "formats/bdf/BdfWords.h"

namespace font {

std::optional<long> BdfNumber(std::string_view word, bool negative, int digits) {
    const bool minus = negative && word.starts_with('-');
    if (minus) word.remove_prefix(1);
    if (word.empty() || word.size() > static_cast<std::size_t>(digits)) return std::nullopt;
    long value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return minus ? -value : value;
}

}  // namespace font
