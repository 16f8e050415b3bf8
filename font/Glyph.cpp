#include "font/Glyph.h"

namespace font {

Glyph BlankGlyph(char32_t codePoint, int width) {
    return Glyph{codePoint, width, {}};
}

}  // namespace font
