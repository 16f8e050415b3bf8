#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ImportedGlyphs.h"
#include "font/Failure.h"
#include "formats/lvgl/LvglSource.h"

// Any text either gives glyphs that make valid glyph files, or is refused
// with a Failure; it never crashes or hangs the reader.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    font::OptionValues values;
    try {
        if (const auto face = font::lvgl::ReadLvglSource(text, "fuzz.c"))
            TrapUnlessValid(font::lvgl::ImportFace(*face, "fuzz.c", {{}, values}));
    } catch (const font::Failure&) {
    }
    return 0;
}
