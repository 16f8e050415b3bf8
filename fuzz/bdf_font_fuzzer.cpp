#include <cstddef>
#include <cstdint>

#include "ImportedGlyphs.h"
#include "font/Failure.h"
#include "font/FontFormat.h"
#include "formats/bdf/BdfReader.h"

// Any bytes either read as a BDF font whose glyphs make valid glyph files, are
// not BDF, are left to FreeType, or are refused with a Failure; the reader
// never crashes, hangs or allocates beyond its limits.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const font::FontFile file{"fuzz.bdf", "fuzz.bdf", {data, data + size}, true};
    try {
        if (auto report = font::ReadBdfFont(file, {})) TrapUnlessValid(*report);
        if (auto report = font::ReadBdfFont(file, {{0x20, 0x7E}})) TrapUnlessValid(*report);
    } catch (const font::Failure&) {
    } catch (const font::NotThisFormat&) {
    }
    return 0;
}
