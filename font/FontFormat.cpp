#include "font/FontFormat.h"

#include <utility>

namespace font {

WrittenFont WrittenText(std::string text, std::vector<std::string> warnings) {
    return {{}, std::move(warnings), std::move(text)};
}

}  // namespace font
