#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ImportedGlyphs.h"
#include "font/Failure.h"
#include "formats/yaff/Yaff.h"

// Any bytes either read as yaff whose glyphs make valid glyph files, are not
// yaff, or are refused with a Failure; the reader never crashes or hangs.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const std::string_view text(reinterpret_cast<const char*>(data), size);
        if (auto report = font::ReadYaff(text, "fuzz.yaff", {}, std::nullopt))
            TrapUnlessValid(*report);
    } catch (const font::Failure&) {
    }
    return 0;
}
