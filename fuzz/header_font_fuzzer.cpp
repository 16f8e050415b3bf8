#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ImportedGlyphs.h"
#include "font/Failure.h"
#include "formats/csource/CHeaderFontReading.h"
#include "formats/gfx/GfxFormat.h"
#include "formats/gfx/GfxHeaderFont.h"
#include "formats/max72xx/Max72xxFormat.h"
#include "formats/max72xx/Max72xxHeaderFont.h"

// Any text either gives glyphs that make valid glyph files, or is refused
// with a Failure, by the reader of each kind of header font; it never
// crashes or hangs them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Each kind's format makes its reader known to the other.
    static const bool known = (formats::GfxFormat(), formats::Max72xxFormat(), true);
    (void)known;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const formats::HeaderFontKind* kind :
         {&formats::GfxHeaderFont(), &formats::Max72xxHeaderFont()}) {
        try {
            if (const auto report = formats::ReadHeaderFont(text, "fuzz.h", {}, *kind))
                TrapUnlessValid(*report);
        } catch (const font::Failure&) {
        }
    }
    return 0;
}
