#include "formats/lvgl/LvglCmap.h"

#include <algorithm>
#include <limits>

#include "font/Failure.h"

namespace font::lvgl {
namespace {

constexpr std::size_t TableHeaderBytes = 16;
constexpr char32_t LastCodePoint = 0x10FFFF;

struct Step {
    std::size_t cost = std::numeric_limits<std::size_t>::max();
    std::size_t start = 0;
    CmapTable::Type type = CmapTable::Type::SparseTiny;
};

}  // namespace

std::vector<CmapTable> PlanCmaps(std::span<const char32_t> codes) {
    // best[i]: the cheapest maps for codes[0..i], ending in one table from
    // codes[start]. Ties go to the earliest start, and at one start to the
    // first of format 0, format 0 tiny and sparse tiny, as in the converter.
    std::vector<Step> best(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        for (std::size_t j = i + 1; j-- > 0;) {
            const char32_t span = codes[i] - codes[j];
            // A range holds at most 65,535 codes: its length is 16 bits.
            if (span >= 0xFFFF) break;
            const std::size_t before = j > 0 ? best[j - 1].cost : 0;
            Step here;
            const auto consider = [&](std::size_t cost, CmapTable::Type type) {
                if (before + cost < here.cost) here = {before + cost, j, type};
            };
            if (span < 256) {
                consider(TableHeaderBytes + span + 1, CmapTable::Type::Format0Full);
                if (span == i - j) consider(TableHeaderBytes, CmapTable::Type::Format0Tiny);
            }
            consider(TableHeaderBytes + (i - j + 1) * 2, CmapTable::Type::SparseTiny);
            if (here.cost <= best[i].cost) best[i] = here;
        }
    }
    std::vector<CmapTable> cmaps;
    for (std::size_t end = codes.size(); end > 0;) {
        const Step& step = best[end - 1];
        CmapTable table;
        table.type = step.type;
        table.rangeStart = codes[step.start];
        table.rangeLength = codes[end - 1] - codes[step.start] + 1;
        table.glyphIdStart = static_cast<std::uint32_t>(step.start + 1);
        if (step.type == CmapTable::Type::Format0Full) {
            table.glyphIdOffsets.assign(table.rangeLength, 0);
            for (std::size_t k = step.start; k < end; ++k)
                table.glyphIdOffsets[codes[k] - table.rangeStart] =
                    static_cast<std::uint16_t>(k - step.start);
        } else if (step.type == CmapTable::Type::SparseTiny) {
            for (std::size_t k = step.start; k < end; ++k)
                table.codes.push_back(static_cast<std::uint16_t>(codes[k] - table.rangeStart));
        }
        cmaps.push_back(std::move(table));
        end = step.start;
    }
    std::reverse(cmaps.begin(), cmaps.end());
    return cmaps;
}

std::vector<std::pair<char32_t, std::uint32_t>> MappedGlyphs(std::span<const CmapTable> cmaps,
                                                             std::size_t glyphCount,
                                                             const std::string& fileName) {
    std::vector<const CmapTable*> order;
    for (const CmapTable& table : cmaps) order.push_back(&table);
    std::sort(order.begin(), order.end(),
              [](const CmapTable* a, const CmapTable* b) { return a->rangeStart < b->rangeStart; });
    const auto number = [&](const CmapTable* table) {
        return "character map " + std::to_string(table - cmaps.data());
    };
    const auto refuse = [&](const CmapTable* table, const std::string& what) {
        throw Failure(fileName + ": " + number(table) + " " + what);
    };
    for (std::size_t k = 1; k < order.size(); ++k)
        if (std::uint64_t{order[k - 1]->rangeStart} + order[k - 1]->rangeLength >
            order[k]->rangeStart)
            refuse(order[k], "overlaps " + number(order[k - 1]));

    std::vector<std::pair<char32_t, std::uint32_t>> mapped;
    for (const CmapTable* table : order) {
        const auto give = [&](std::uint64_t relative, std::uint64_t idOffset) {
            const std::uint64_t code = std::uint64_t{table->rangeStart} + relative;
            const std::uint64_t id = std::uint64_t{table->glyphIdStart} + idOffset;
            if (id == 0 || id >= glyphCount)
                refuse(table, "gives glyph " + std::to_string(id) + ", outside the " +
                                  std::to_string(glyphCount == 0 ? 0 : glyphCount - 1) +
                                  " glyphs of the font");
            if (code <= LastCodePoint)
                mapped.emplace_back(static_cast<char32_t>(code), static_cast<std::uint32_t>(id));
        };
        // Codes past U+10FFFF are never read, so a range cannot make work without end.
        const std::uint64_t length =
            table->rangeStart > LastCodePoint
                ? 0
                : std::min<std::uint64_t>(table->rangeLength,
                                          LastCodePoint - table->rangeStart + 1);
        switch (table->type) {
            case CmapTable::Type::Format0Tiny:
                for (std::uint64_t r = 0; r < length; ++r) give(r, r);
                break;
            case CmapTable::Type::Format0Full:
                if (table->glyphIdOffsets.size() < table->rangeLength)
                    refuse(table, "has " + std::to_string(table->glyphIdOffsets.size()) +
                                      " glyph ids for its " + std::to_string(table->rangeLength) +
                                      " codes");
                // An offset of 0 past the first code is a code without a glyph.
                for (std::uint64_t r = 0; r < length; ++r)
                    if (r == 0 || table->glyphIdOffsets[r] != 0) give(r, table->glyphIdOffsets[r]);
                break;
            case CmapTable::Type::SparseTiny:
            case CmapTable::Type::SparseFull: {
                const bool full = table->type == CmapTable::Type::SparseFull;
                if (full && table->glyphIdOffsets.size() < table->codes.size())
                    refuse(table, "has fewer glyph ids than codes");
                for (std::size_t k = 0; k < table->codes.size(); ++k) {
                    if (k > 0 && table->codes[k] <= table->codes[k - 1])
                        refuse(table, "lists its codes out of order");
                    if (table->codes[k] >= table->rangeLength)
                        refuse(table, "lists a code past its range");
                    if (table->codes[k] < length)
                        give(table->codes[k], full ? table->glyphIdOffsets[k] : k);
                }
                break;
            }
            default:
                refuse(table, "is of type " + std::to_string(static_cast<int>(table->type)) +
                                  ", which LVGL does not have");
        }
    }
    return mapped;
}

}  // namespace font::lvgl
