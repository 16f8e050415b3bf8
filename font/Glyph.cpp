#include "font/Glyph.h"

namespace font {

Glyph BlankGlyph(char32_t codePoint, int width) {
    Glyph glyph{codePoint, width, {}};
    glyph.cells.Initialise(width);
    return glyph;
}

}  // namespace font
