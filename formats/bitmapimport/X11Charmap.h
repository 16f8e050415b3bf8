#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/charset/Charset.h"

namespace font {

// The charset an X11 font without a Unicode character map is read in, and
// what the import says of it.
struct X11Charmap {
    std::optional<Charset> charset;  // none: its codes are read as Unicode
    std::vector<std::string> warnings;
};

// The charset of an X11 font's CHARSET_REGISTRY and CHARSET_ENCODING (null or
// empty when it declares none). A font without one, or of the encoding
// "fontspecific", has its codes read as Unicode, with a warning. Raises
// Failure, naming the font, for a charset iconv cannot convert.
X11Charmap ChooseX11Charmap(const std::string& fontName, const char* registry,
                            const char* encoding);

}  // namespace font
