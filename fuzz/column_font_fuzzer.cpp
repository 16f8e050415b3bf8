#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ImportedGlyphs.h"
#include "font/Failure.h"
#include "formats/gfx-classic/ClassicFont.h"
#include "formats/glcd/GlcdFont.h"

// Any text either gives glyphs that make valid glyph files, or is refused
// with a Failure, by both column font readers.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const font::ClassicCodePage cp437("cp437");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        if (const auto report = font::ReadGlcdFont(text, "fuzz.h", {})) TrapUnlessValid(*report);
    } catch (const font::Failure&) {
    }
    try {
        if (const auto report = font::ReadClassicTable(text, "fuzz.c", cp437, {}))
            TrapUnlessValid(*report);
    } catch (const font::Failure&) {
    }
    return 0;
}
