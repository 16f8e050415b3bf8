#include "formats/sfnt/CharacterMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

unsigned U16(const Bytes& b, std::size_t at) {
    return b.at(at) << 8 | b.at(at + 1);
}
std::uint32_t U32(const Bytes& b, std::size_t at) {
    return U16(b, at) << 16 | U16(b, at + 2);
}

// The offset of the subtable for (platform, encoding), if the cmap has one.
std::optional<std::size_t> Subtable(const Bytes& cmap, unsigned platform, unsigned encoding) {
    for (unsigned i = 0; i < U16(cmap, 2); ++i) {
        const std::size_t record = 4 + 8 * i;
        if (U16(cmap, record) == platform && U16(cmap, record + 2) == encoding)
            return U32(cmap, record + 4);
    }
    return std::nullopt;
}

// A format 4 lookup as a renderer does it: the first segment whose end is
// at or past the code, then its delta (these subtables have no glyph arrays).
unsigned Format4Glyph(const Bytes& cmap, std::size_t table, unsigned code) {
    EXPECT_EQ(U16(cmap, table), 4u);
    const unsigned segments = U16(cmap, table + 6) / 2;
    const std::size_t ends = table + 14, starts = ends + 2 * segments + 2,
                      deltas = starts + 2 * segments, rangeOffsets = deltas + 2 * segments;
    for (unsigned s = 0; s < segments; ++s) {
        if (U16(cmap, ends + 2 * s) < code) continue;
        if (U16(cmap, starts + 2 * s) > code) return 0;
        EXPECT_EQ(U16(cmap, rangeOffsets + 2 * s), 0u);
        return (code + U16(cmap, deltas + 2 * s)) & 0xFFFF;
    }
    return 0;
}

unsigned Format12Glyph(const Bytes& cmap, std::size_t table, char32_t code) {
    EXPECT_EQ(U16(cmap, table), 12u);
    for (std::uint32_t g = 0; g < U32(cmap, table + 12); ++g) {
        const std::size_t group = table + 16 + 12 * g;
        if (code >= U32(cmap, group) && code <= U32(cmap, group + 4))
            return U32(cmap, group + 8) + (code - U32(cmap, group));
    }
    return 0;
}

font::SfntFont FontOf(const std::vector<char32_t>& codes) {
    font::SfntFont sfnt;
    sfnt.glyphs.push_back({".notdef", std::nullopt, 5, {}});
    for (const char32_t cp : codes) sfnt.glyphs.push_back({"g", cp, 5, {}});
    return sfnt;
}

struct Mapping {
    const char* what;
    std::vector<char32_t> codes;
    bool basicHoldsAll;  // whether the format 4 subtable maps every BMP code
    bool full;           // whether there is a format 12 subtable
};

TEST(CharacterMapTest, EveryCodeFindsItsGlyphAndNoOtherCodeFindsOne) {
    std::vector<char32_t> scattered;
    for (char32_t cp = 0x100; cp < 0x100 + 2 * 9000; cp += 2) scattered.push_back(cp);
    const Mapping mappings[] = {
        {"runs in the BMP", {0x20, 0x21, 0x22, 0x41, 0x42, 0xFF, 0x100, 0xFFFE}, true, false},
        {"one code", {0x41}, true, false},
        {"codes beyond U+FFFF", {0x41, 0xFFFF, 0x1F600, 0x1F601, 0x10FFFD}, true, true},
        {"more segments than format 4 holds", scattered, false, true},
    };
    for (const Mapping& m : mappings) {
        const Bytes cmap = font::WriteCharacterMap(FontOf(m.codes));
        const auto basic = Subtable(cmap, 3, 1);
        const auto full = Subtable(cmap, 3, 10);
        ASSERT_TRUE(basic) << m.what;
        ASSERT_EQ(full.has_value(), m.full) << m.what;
        EXPECT_EQ(U16(cmap, *basic + 2), cmap.size() - *basic - (full ? U32(cmap, *full + 4) : 0))
            << m.what << ": format 4 length";
        // Every code of the small fonts, a sample of the large one.
        const std::size_t step = m.codes.size() > 100 ? 97 : 1;
        for (std::size_t i = 0; i < m.codes.size(); i += step) {
            const auto cp = static_cast<unsigned>(m.codes[i]);
            const auto glyph = static_cast<unsigned>(i + 1);
            if (cp < 0xFFFF && m.basicHoldsAll) {
                EXPECT_EQ(Format4Glyph(cmap, *basic, cp), glyph) << m.what << " " << cp;
            }
            if (full) {
                EXPECT_EQ(Format12Glyph(cmap, *full, cp), glyph) << m.what << " " << cp;
            }
        }
        for (const char32_t absent : {0x1Fu, 0x43u, 0x101u, 0xFFFDu, 0xFFFFu, 0x1F5FFu}) {
            if (std::find(m.codes.begin(), m.codes.end(), absent) != m.codes.end()) continue;
            if (absent <= 0xFFFF) {
                EXPECT_EQ(Format4Glyph(cmap, *basic, absent), 0u) << m.what;
            }
            if (full) {
                EXPECT_EQ(Format12Glyph(cmap, *full, absent), 0u) << m.what;
            }
        }
    }
}

}  // namespace
