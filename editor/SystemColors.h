#pragma once

#include <QColor>
#include <QPalette>

#include "glyph/Color.h"

// Turns a window-system colour value into the colour to paint: a value whose
// top byte is 0xFF names a system colour, taken from the palette; any other
// value is 0x00BBGGRR.
QColor ResolveColor(glyph::TColor colour, const QPalette& palette);
