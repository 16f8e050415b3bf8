#include <cstddef>
#include <cstdint>
#include <span>

#include "ImportedGlyphs.h"
#include "font/Failure.h"
#include "formats/lvgl/LvglBinary.h"

// Any bytes either give glyphs that make valid glyph files, or are refused
// with a Failure; they never crash or hang the reader.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    font::OptionValues values;
    try {
        if (const auto face = font::lvgl::ReadLvglBinary(std::span(data, size), "fuzz.bin"))
            TrapUnlessValid(font::lvgl::ImportFace(*face, "fuzz.bin", {{}, values}));
    } catch (const font::Failure&) {
    }
    return 0;
}
