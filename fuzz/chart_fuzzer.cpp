#include <cstddef>
#include <cstdint>
#include <span>

#include "ImportedGlyphs.h"
#include "font/Failure.h"
#include "formats/chart/ChartReader.h"

// Any bytes either read as a chart whose glyphs make valid glyph files, or are
// refused with a Failure; the reader never crashes, hangs or runs out of memory.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        TrapUnlessValid(font::ReadChart(std::span(data, size), "fuzz.png", {}, 1 << 20));
    } catch (const font::Failure&) {
    }
    return 0;
}
