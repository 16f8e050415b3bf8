#include <gtest/gtest.h>

#include <random>
#include <set>

#include "font/Failure.h"
#include "formats/lvgl/LvglBitmap.h"
#include "formats/lvgl/LvglCmap.h"

namespace {

using font::lvgl::BitmapFormat;
using font::lvgl::BitReader;
using font::lvgl::CmapTable;
using Type = CmapTable::Type;

// The compressor of LVGL's font converter as its binary font format
// describes it: a run's first pixel is written as is; a second one starts
// the run, followed by a 1 bit for each further repeat up to ten and a 0 bit
// to end it; past ten, the eleventh 1 bit is followed by a 6-bit count.
class Compressor {
  public:
    explicit Compressor(int bpp) : bpp_(bpp) {}

    std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& pixels) {
        std::size_t at = 0;
        while (at < pixels.size()) {
            const std::uint8_t p = pixels[at];
            std::size_t same = 1;
            while (at + same < pixels.size() && pixels[at + same] == p) ++same;
            same = std::min<std::size_t>(same, 63 + 10 + 1 + 1);
            at += same;
            if (same == 1) {
                Write(p, bpp_);
                continue;
            }
            Write(p, bpp_);
            Write(p, bpp_);
            same -= 1;
            if (same <= 10) {
                for (std::size_t k = 0; k + 1 < same; ++k) Write(1, 1);
                Write(0, 1);
                continue;
            }
            for (int k = 0; k < 11; ++k) Write(1, 1);
            Write(static_cast<unsigned>(same - 11), 6);
        }
        return bytes_;
    }

  private:
    void Write(unsigned value, int bits) {
        for (int k = bits - 1; k >= 0; --k, ++bit_) {
            if (bit_ % 8 == 0) bytes_.push_back(0);
            if ((value >> k & 1) != 0) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> bit_ % 8);
        }
    }

    int bpp_;
    std::vector<std::uint8_t> bytes_;
    std::size_t bit_ = 0;
};

// Rows XORed with the row above, as the converter filters them before it
// compresses.
std::vector<std::uint8_t> Prefiltered(const std::vector<std::uint8_t>& pixels, int width) {
    std::vector<std::uint8_t> out = pixels;
    for (std::size_t i = pixels.size(); i-- > static_cast<std::size_t>(width);)
        out[i] ^= pixels[i - static_cast<std::size_t>(width)];
    return out;
}

// Boxes of every depth, with runs short, long and past the counter's reach,
// come back from either compression as they went in.
TEST(LvglBitmap, CompressedBoxesComeBackAsTheyWentIn) {
    std::mt19937 random(7);
    for (const int bpp : {1, 2, 3, 4, 8}) {
        for (const int runs : {1, 3, 12, 40, 200}) {
            const int width = 1 + static_cast<int>(random() % 23),
                      height = 1 + static_cast<int>(random() % 19);
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height));
            // Runs of a random length up to `runs` each.
            for (std::size_t i = 0; i < pixels.size();) {
                const auto value = static_cast<std::uint8_t>(random() % (1u << bpp));
                for (std::size_t n = 1 + random() % runs; n > 0 && i < pixels.size(); --n)
                    pixels[i++] = value;
            }
            SCOPED_TRACE(std::to_string(bpp) + " bits, runs up to " + std::to_string(runs));
            const auto plain = Compressor(bpp).Compress(pixels);
            EXPECT_EQ(font::lvgl::DecodePixels(BitReader(plain, 0, plain.size() * 8), width, height,
                                               bpp, BitmapFormat::CompressedNoPrefilter, 0),
                      pixels);
            const auto filtered = Compressor(bpp).Compress(Prefiltered(pixels, width));
            EXPECT_EQ(font::lvgl::DecodePixels(BitReader(filtered, 0, filtered.size() * 8), width,
                                               height, bpp, BitmapFormat::Compressed, 0),
                      pixels);
            // Without the bits of its first pixel, the bits end before the box does.
            EXPECT_THROW(
                font::lvgl::DecodePixels(BitReader(filtered, 0, static_cast<std::size_t>(bpp) - 1),
                                         width, height, bpp, BitmapFormat::Compressed, 0),
                BitReader::End);
        }
    }
}

// Plain boxes are packed without padding, or each row from a multiple of
// the stride, from any bit on.
TEST(LvglBitmap, PlainRowsFollowTheStride) {
    const std::vector<std::uint8_t> bytes = {0xA5, 0xF0, 0x0F, 0x81};
    struct Case {
        int width, height, bpp, stride;
        std::size_t from;
        std::vector<std::uint8_t> pixels;
    } cases[] = {
        {3, 2, 1, 0, 0, {1, 0, 1, 0, 0, 1}}, {3, 2, 1, 1, 0, {1, 0, 1, 1, 1, 1}},
        {2, 2, 2, 0, 4, {1, 1, 3, 3}},       {1, 2, 4, 2, 0, {0xA, 0x0}},
        {1, 3, 8, 0, 8, {0xF0, 0x0F, 0x81}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(font::lvgl::DecodePixels(BitReader(bytes, c.from, bytes.size() * 8), c.width,
                                           c.height, c.bpp, BitmapFormat::Plain, c.stride),
                  c.pixels);
    EXPECT_THROW(font::lvgl::DecodePixels(BitReader(bytes, 0, 16), 3, 6, 1, BitmapFormat::Plain, 0),
                 BitReader::End);
}

std::vector<Type> Types(const std::vector<CmapTable>& cmaps) {
    std::vector<Type> types;
    for (const CmapTable& t : cmaps) types.push_back(t.type);
    return types;
}

// The maps are cut as the converter cuts them, for the fewest bytes.
TEST(LvglCmap, CutsTheCodesForTheSmallestMaps) {
    const struct {
        const char* what;
        std::vector<char32_t> codes;
        std::vector<Type> types;
    } cases[] = {
        {"a run", {0x20, 0x21, 0x22, 0x23}, {Type::Format0Tiny}},
        {"one gap in a short span", {0x41, 0x43}, {Type::Format0Full}},
        {"two codes far apart", {0x41, 0x3041}, {Type::SparseTiny}},
        {"two runs far apart",
         {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x3000},
         {Type::Format0Tiny, Type::Format0Tiny}},
        {"codes more than a range apart", {0x41, 0x20041}, {Type::Format0Tiny, Type::Format0Tiny}},
        {"beyond the basic plane",
         {0x1F600, 0x1F601, 0x10FFFF},
         {Type::Format0Tiny, Type::Format0Tiny}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto cmaps = font::lvgl::PlanCmaps(c.codes);
        EXPECT_EQ(Types(cmaps), c.types);
    }
}

// Whatever the codes, the maps give each its own glyph, 1 to N in order.
TEST(LvglCmap, MapsGiveEveryCodeItsGlyph) {
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        std::set<char32_t> picked;
        const char32_t spread = round % 4 == 0 ? 0x10FFFF : round % 4 == 1 ? 0x400 : 0x60;
        for (int k = 0, count = 1 + static_cast<int>(random() % 60); k < count; ++k)
            picked.insert(static_cast<char32_t>(random() % spread + 1));
        const std::vector<char32_t> codes(picked.begin(), picked.end());
        const auto mapped =
            font::lvgl::MappedGlyphs(font::lvgl::PlanCmaps(codes), codes.size() + 1, "f");
        ASSERT_EQ(mapped.size(), codes.size());
        for (std::size_t i = 0; i < codes.size(); ++i) {
            EXPECT_EQ(mapped[i].first, codes[i]);
            EXPECT_EQ(mapped[i].second, i + 1);
        }
    }
}

CmapTable Table(Type type, std::uint32_t start, std::uint32_t length, std::uint32_t firstId,
                std::vector<std::uint16_t> codes = {}, std::vector<std::uint16_t> ids = {}) {
    return {type, start, length, firstId, std::move(codes), std::move(ids)};
}

// Maps that LVGL would read past its tables with are refused with a reason.
TEST(LvglCmap, RefusesMapsOutsideTheGlyphsOrEachOther) {
    const struct {
        std::vector<CmapTable> cmaps;
        std::string message;
    } cases[] = {
        {{Table(Type::Format0Tiny, 0x41, 5, 1)},
         "f: character map 0 gives glyph 4, outside the 3 glyphs of the font"},
        {{Table(Type::Format0Tiny, 0x41, 2, 0)},
         "f: character map 0 gives glyph 0, outside the 3 glyphs of the font"},
        {{Table(Type::Format0Tiny, 0x41, 2, 1), Table(Type::Format0Tiny, 0x42, 1, 3)},
         "f: character map 1 overlaps character map 0"},
        {{Table(Type::SparseTiny, 0x41, 9, 1, {3, 1})},
         "f: character map 0 lists its codes out of order"},
        {{Table(Type::SparseTiny, 0x41, 3, 1, {1, 3})},
         "f: character map 0 lists a code past its range"},
        {{Table(Type::SparseFull, 0x41, 3, 1, {0, 1}, {0})},
         "f: character map 0 has fewer glyph ids than codes"},
        {{Table(Type::Format0Full, 0x41, 3, 1, {}, {0, 1})},
         "f: character map 0 has 2 glyph ids for its 3 codes"},
        {{Table(static_cast<Type>(7), 0x41, 1, 1)},
         "f: character map 0 is of type 7, which LVGL does not have"},
    };
    for (const auto& c : cases) {
        try {
            font::lvgl::MappedGlyphs(c.cmaps, 4, "f");
            ADD_FAILURE() << "taken: " << c.message;
        } catch (const font::Failure& failure) {
            EXPECT_EQ(failure.what(), c.message);
        }
    }
}

// A full map's zero past its first code is a code without a glyph; codes
// past U+10FFFF are left out rather than read without end.
TEST(LvglCmap, FullMapsSkipMissingCodesAndRangesStopAtTheLastCodePoint) {
    const auto full = font::lvgl::MappedGlyphs(
        std::vector{Table(Type::Format0Full, 0x41, 4, 2, {}, {0, 0, 1, 0}),
                    Table(Type::SparseFull, 0x10FFFE, 50, 1, {0, 1, 7}, {0, 0, 1})},
        4, "f");
    const std::vector<std::pair<char32_t, std::uint32_t>> expected = {
        {0x41, 2}, {0x43, 3}, {0x10FFFE, 1}, {0x10FFFF, 1}};
    EXPECT_EQ(full, expected);
    EXPECT_EQ(font::lvgl::MappedGlyphs(std::vector{Table(Type::Format0Tiny, 0xFFFFFF00, 0xFFFF, 1)},
                                       2, "f")
                  .size(),
              0u);
}

}  // namespace
