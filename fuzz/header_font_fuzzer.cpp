#include <cstddef>
#include <cstdint>
#include <string_view>

#include "font/Failure.h"
#include "font/HeaderFonts.h"
#include "font/Unicode.h"
#include "glyph/GlyphFile.h"

// Any text either gives glyphs that make valid glyph files, or is refused
// with a Failure; it never crashes or hangs the reader.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto report = font::ImportHeaderFont(text, "fuzz.h", {});
        if (!report) return 0;
        for (const font::Glyph& glyph : report->font.glyphs) {
            if (!font::IsScalarValue(glyph.codePoint)) __builtin_trap();
            glyph::CellGrid back;
            if (glyph::ReadGlyph(glyph::EncodeGlyph(glyph.cells, glyph.width), back, "") !=
                glyph.width)
                __builtin_trap();
        }
    } catch (const font::Failure&) {
    }
    return 0;
}
