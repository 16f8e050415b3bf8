#include <cstddef>
#include <cstdint>
#include <span>

#include "glyph/Errors.h"
#include "glyph/GlyphFile.h"

// Any byte sequence either decodes into a grid that keeps the width rules and
// encodes back to the same glyph, or is refused with the grid untouched.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    glyph::CellGrid grid;
    grid.Initialise(8);
    const glyph::CellGrid before = grid;
    int width = 0;
    try {
        width = glyph::ReadGlyph(std::span(data, size), grid, "fuzz.dat");
    } catch (const glyph::EGlyphFormatError&) {
        if (!(grid == before)) __builtin_trap();
        return 0;
    }
    if (width < 0 || width > glyph::MaxWidth) __builtin_trap();
    for (int col = 0; col < glyph::CellGrid::ColCount; ++col)
        for (int row = 0; row < glyph::CellGrid::RowCount; ++row) {
            const glyph::TColor cell = grid.Get(col, row);
            const bool valid = col < width ? (glyph::IsSet(cell) || glyph::IsClear(cell))
                                           : cell == glyph::clBtnFace;
            if (!valid) __builtin_trap();
        }
    glyph::CellGrid again;
    const auto bytes = glyph::EncodeGlyph(grid, width);
    if (glyph::ReadGlyph(bytes, again, "fuzz.dat") != width || !(again == grid)) __builtin_trap();
    return 0;
}
