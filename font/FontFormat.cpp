#include "font/FontFormat.h"

namespace font {

std::vector<std::uint8_t> TextBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

}  // namespace font
