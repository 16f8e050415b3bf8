#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace font::lvgl {

// One character map of an LVGL font (lv_font_fmt_txt_cmap_t, and the
// subtables of the binary font's cmap): the codes from rangeStart on that it
// gives glyph ids.
struct CmapTable {
    enum class Type : std::uint8_t {
        Format0Full = 0,
        SparseFull = 1,
        Format0Tiny = 2,
        SparseTiny = 3
    };

    Type type = Type::Format0Tiny;
    std::uint32_t rangeStart = 0;
    std::uint32_t rangeLength = 0;
    std::uint32_t glyphIdStart = 0;
    std::vector<std::uint16_t> codes;           // a sparse map's codes, less rangeStart, ascending
    std::vector<std::uint16_t> glyphIdOffsets;  // a full map's ids, less glyphIdStart
};

// The maps for glyphs 1 to N holding `codes` (ascending, one glyph each), cut
// as LVGL's converter cuts them: the split whose tables take the fewest bytes,
// a run of codes as format 0 tiny, scattered ones as format 0 full or sparse
// tiny.
std::vector<CmapTable> PlanCmaps(std::span<const char32_t> codes);

// Every code the maps give a glyph, with its glyph id, in ascending order of
// codes; codes past U+10FFFF are left out. Raises Failure, naming
// `fileName`, for maps that overlap, list codes out of order or outside
// their range, or give an id outside 1 to `glyphCount` - 1.
std::vector<std::pair<char32_t, std::uint32_t>> MappedGlyphs(std::span<const CmapTable> cmaps,
                                                             std::size_t glyphCount,
                                                             const std::string& fileName);

}  // namespace font::lvgl
