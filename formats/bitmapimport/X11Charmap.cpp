#include "formats/bitmapimport/X11Charmap.h"

#include "font/Failure.h"
#include "font/Unicode.h"

namespace font {

X11Charmap ChooseX11Charmap(const std::string& fontName, const char* registry,
                            const char* encoding) {
    X11Charmap map;
    if (registry == nullptr || encoding == nullptr || *registry == 0) {
        map.warnings.push_back(fontName + ": declares no charset; its codes are read as Unicode");
        return map;
    }
    const std::string charset = std::string(registry) + "-" + encoding;
    if (AsciiLower(encoding) == "fontspecific") {
        map.warnings.push_back(fontName + ": its charset " + charset +
                               " has no standard meaning; its codes are read as Unicode");
        return map;
    }
    map.charset = Charset::OfX11Font(registry, encoding);
    if (!map.charset)
        throw Failure(fontName + ": its charset " + charset + " cannot be converted to Unicode");
    return map;
}

}  // namespace font
