#include "font/FontFormat.h"

#include <utility>

namespace font {

WrittenFont WrittenText(std::string text, std::vector<std::string> warnings) {
    return {{}, std::move(warnings), std::move(text)};
}

WrittenFont StreamedWhole(const TextWriting& stream, const WriteRequest& request) {
    TextOut out;
    std::vector<std::string> warnings = stream(request, out);
    return WrittenText(out.Finish(), std::move(warnings));
}

}  // namespace font
