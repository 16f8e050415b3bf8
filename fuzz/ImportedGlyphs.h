#pragma once

#include "font/ImportReport.h"
#include "font/Unicode.h"
#include "glyph/GlyphFile.h"

// Stops the fuzzer unless every glyph a reader gave makes a valid glyph file
// of a Unicode character.
inline void TrapUnlessValid(const font::ImportReport& report) {
    for (const font::Glyph& glyph : report.font.glyphs) {
        if (!font::IsScalarValue(glyph.codePoint)) __builtin_trap();
        glyph::CellGrid back;
        if (glyph::ReadGlyph(glyph::EncodeGlyph(glyph.rows, glyph.width), back, "") != glyph.width)
            __builtin_trap();
    }
}
