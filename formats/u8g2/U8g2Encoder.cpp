#include "formats/u8g2/U8g2Encoder.h"

#include <algorithm>
#include <climits>
#include <string>

#include "font/CodeRun.h"
#include "font/Failure.h"
#include "font/Unicode.h"
#include "formats/u8g2/U8g2Bits.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
constexpr std::size_t HeaderSize = 23;
constexpr std::size_t GlyphsPerLookupEntry = 101;  // as u8g2's converter counts them
constexpr std::size_t MostGlyphBytes = 254;

// A glyph box in u8g2's terms: x from the origin, y of the bottom row above
// the baseline (y grows upwards), and the advance dx.
struct Box {
    int x = 0, y = 0, w = 0, h = 0, dx = 0;
    int Top() const { return y + h; }
    int Right() const { return x + w; }
};

int UnsignedBits(unsigned value) {
    int bits = 0;
    for (; value != 0; value /= 2) ++bits;
    return bits;
}

int SignedBits(int value) {
    return 1 + UnsignedBits(static_cast<unsigned>(value < 0 ? -value - 1 : value));
}

// The box of the glyph's set pixels; empty (all zero but dx) without any.
Box InkBox(const Glyph& glyph, int ascent) {
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
    for (int row = 0; row < Rows; ++row)
        for (int col = 0; col < glyph.width; ++col)
            if (glyph.Pixel(col, row)) {
                left = std::min(left, col), right = std::max(right, col);
                top = std::min(top, row), bottom = std::max(bottom, row);
            }
    Box box;
    box.dx = glyph.width;
    if (right < 0) return box;
    box.x = left;
    box.w = right - left + 1;
    box.h = bottom - top + 1;
    box.y = ascent - 1 - bottom;
    return box;
}

struct Fields {
    int w = 0, h = 0, x = 1, y = 1, dx = 1;
};

class Encoder {
  public:
    Encoder(std::vector<const Glyph*> glyphs, const U8g2Options& options)
        : glyphs_(std::move(glyphs)), options_(options) {
        for (const Glyph* glyph : glyphs_) ink_.push_back(InkBox(*glyph, options.ascent));
        BuildBoxes();
        for (std::size_t i = 0; i < glyphs_.size(); ++i) runs_.push_back(RunLengths(i));
    }

    std::vector<std::uint8_t> Bytes() const {
        const auto [zeros, ones] = SmallestRuns();
        std::vector<std::uint8_t> out(HeaderSize, 0);
        out[0] = static_cast<std::uint8_t>(glyphs_.size());  // wraps, as in u8g2's own fonts
        out[1] = static_cast<std::uint8_t>(options_.build);
        out[2] = static_cast<std::uint8_t>(zeros);
        out[3] = static_cast<std::uint8_t>(ones);
        out[4] = static_cast<std::uint8_t>(fields_.w);
        out[5] = static_cast<std::uint8_t>(fields_.h);
        out[6] = static_cast<std::uint8_t>(fields_.x);
        out[7] = static_cast<std::uint8_t>(fields_.y);
        out[8] = static_cast<std::uint8_t>(fields_.dx);
        const Box bounds = Bounds();
        out[9] = static_cast<std::uint8_t>(bounds.w);
        out[10] = static_cast<std::uint8_t>(bounds.h);
        out[11] = static_cast<std::uint8_t>(bounds.x);
        out[12] = static_cast<std::uint8_t>(bounds.y);
        const int ascentA = InkOf('A').Top() > 0 ? InkOf('A').Top() : InkOf('1').Top();
        out[13] = static_cast<std::uint8_t>(ascentA);
        out[14] = static_cast<std::uint8_t>(InkOf('g').y);
        const bool paren = Index('(') >= 0;
        out[15] = static_cast<std::uint8_t>(paren ? InkOf('(').Top() : ascentA);
        out[16] = static_cast<std::uint8_t>(paren ? InkOf('(').y : InkOf('g').y);

        std::size_t i = 0;
        for (; i < glyphs_.size() && glyphs_[i]->codePoint <= 0xFF; ++i) {
            if (glyphs_[i]->codePoint == 'A') PutWord(out, 17, out.size() - HeaderSize);
            if (glyphs_[i]->codePoint == 'a') PutWord(out, 19, out.size() - HeaderSize);
            const auto glyph = GlyphBytes(i, zeros, ones);
            out.insert(out.end(), glyph.begin(), glyph.end());
        }
        out.push_back(0), out.push_back(0);
        PutWord(out, 21, out.size() - HeaderSize);

        // u8g2 finds a code from 0x100 by skipping whole blocks of glyphs:
        // each entry gives the distance to its block and the block's last code.
        const std::size_t wide = glyphs_.size() - i;
        const std::size_t entries = std::max<std::size_t>(wide / GlyphsPerLookupEntry, 1);
        const std::size_t table = out.size();
        out.resize(table + 4 * entries, 0);
        std::size_t blockStart = table;
        for (std::size_t n = 0; i < glyphs_.size(); ++i, ++n) {
            if (n % GlyphsPerLookupEntry == 0 && n / GlyphsPerLookupEntry < entries) {
                const std::size_t entry = table + 4 * (n / GlyphsPerLookupEntry);
                PutWord(out, entry, out.size() - blockStart);
                const std::size_t last = n + GlyphsPerLookupEntry - 1;
                PutWord(out, entry + 2,
                        n / GlyphsPerLookupEntry + 1 == entries
                            ? 0xFFFF
                            : glyphs_[glyphs_.size() - wide + last]->codePoint);
                blockStart = out.size();
            }
            const auto glyph = GlyphBytes(i, zeros, ones);
            out.insert(out.end(), glyph.begin(), glyph.end());
        }
        if (wide == 0) PutWord(out, table, 4), PutWord(out, table + 2, 0xFFFF);
        out.push_back(0), out.push_back(0);
        return out;
    }

  private:
    static void PutWord(std::vector<std::uint8_t>& out, std::size_t at, std::size_t value) {
        out[at] = static_cast<std::uint8_t>(value >> 8);
        out[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
    }

    int Index(char32_t cp) const {
        for (std::size_t i = 0; i < glyphs_.size(); ++i)
            if (glyphs_[i]->codePoint == cp) return static_cast<int>(i);
        return -1;
    }
    Box InkOf(char32_t cp) const {
        const int i = Index(cp);
        return i < 0 ? Box{} : ink_[static_cast<std::size_t>(i)];
    }

    // The rows every glyph's ink lies in, and the widest advance.
    void BuildBoxes() {
        int bottom = INT_MAX, top = INT_MIN, widest = 0;
        for (const Box& box : ink_) {
            widest = std::max(widest, box.dx);
            if (box.w == 0) continue;
            bottom = std::min(bottom, box.y), top = std::max(top, box.Top());
        }
        for (const Box& ink : ink_) {
            Box box = ink;
            if (options_.build == U8g2Build::Monospace) box.dx = widest;
            if (options_.build != U8g2Build::Proportional && top > bottom)
                box.x = 0, box.y = bottom, box.h = top - bottom, box.w = box.dx;
            if (box.w == 0 || box.h == 0) box.x = box.y = box.w = box.h = 0;
            fields_.w = std::max(fields_.w, UnsignedBits(static_cast<unsigned>(box.w)));
            fields_.h = std::max(fields_.h, UnsignedBits(static_cast<unsigned>(box.h)));
            fields_.x = std::max(fields_.x, SignedBits(box.x));
            fields_.y = std::max(fields_.y, SignedBits(box.y));
            fields_.dx = std::max(fields_.dx, SignedBits(box.dx));
            boxes_.push_back(box);
        }
    }

    // The box of all ink, stretched to hold the baseline and the ascent, so
    // that a reader finds the ascent the font was written with.
    Box Bounds() const {
        int left = 0, right = 0, bottom = options_.ascent, top = options_.ascent;
        for (const Box& box : ink_) {
            if (box.w == 0) continue;
            left = std::min(left, box.x), right = std::max(right, box.Right());
            bottom = std::min(bottom, box.y), top = std::max(top, box.Top());
        }
        return {left, bottom, right - left, top - bottom, 0};
    }

    // The run widths that give the fewest bytes, as many as u8g2 can read.
    // A width wider than the longest run needs only adds bits to each pair,
    // and a total already past the best cannot win.
    std::pair<int, int> SmallestRuns() const {
        unsigned longestZeros = 0, longestOnes = 0;
        for (const std::vector<unsigned>& lengths : runs_)
            for (std::size_t i = 0; i < lengths.size(); i += 2)
                longestZeros = std::max(longestZeros, lengths[i]),
                longestOnes = std::max(longestOnes, lengths[i + 1]);
        const int mostZeros = std::clamp(UnsignedBits(longestZeros), 1, 8);
        const int mostOnes = std::clamp(UnsignedBits(longestOnes), 1, 8);
        const std::size_t fieldBits =
            static_cast<std::size_t>(fields_.w + fields_.h + fields_.x + fields_.y + fields_.dx) +
            1;
        std::size_t best = SIZE_MAX;
        std::pair<int, int> runs{2, 2};
        for (int zeros = 1; zeros <= mostZeros; ++zeros)
            for (int ones = 1; ones <= mostOnes; ++ones) {
                std::size_t total = 0;
                for (std::size_t i = 0; i < glyphs_.size() && total < best; ++i) {
                    std::size_t bits = fieldBits;
                    PutRuns(runs_[i], zeros, ones,
                            [&](unsigned n, unsigned, unsigned times) { bits += n * times; });
                    total += (bits + 7) / 8;
                }
                if (total < best) best = total, runs = {zeros, ones};
            }
        return runs;
    }

    // The glyph's bytes: its code, its size, its fields and its runs.
    std::vector<std::uint8_t> GlyphBytes(std::size_t i, int zeros, int ones) const {
        const char32_t cp = glyphs_[i]->codePoint;
        const Box& box = boxes_[i];
        std::vector<std::uint8_t> out;
        if (cp > 0xFF) out.push_back(static_cast<std::uint8_t>(cp >> 8));
        out.push_back(static_cast<std::uint8_t>(cp & 0xFF));
        out.push_back(0);
        const std::size_t head = out.size();
        std::vector<std::uint8_t> bits;
        U8g2BitWriter writer(bits);
        writer.Put(fields_.w, static_cast<unsigned>(box.w));
        writer.Put(fields_.h, static_cast<unsigned>(box.h));
        writer.Put(fields_.x, static_cast<unsigned>(box.x + (1 << (fields_.x - 1))));
        writer.Put(fields_.y, static_cast<unsigned>(box.y + (1 << (fields_.y - 1))));
        writer.Put(fields_.dx, static_cast<unsigned>(box.dx + (1 << (fields_.dx - 1))));
        PutRuns(runs_[i], zeros, ones, [&](unsigned bits, unsigned value, unsigned times) {
            for (; times > 0; --times) writer.Put(bits, value);
        });
        writer.Put(1, 0);  // a last pair that does not repeat
        out.insert(out.end(), bits.begin(), bits.end());
        if (out.size() > MostGlyphBytes)
            throw Failure(DescribeCharacter(cp) + " takes " + std::to_string(out.size()) +
                          " bytes, more than the 254 of a u8g2 glyph");
        out[head - 1] = static_cast<std::uint8_t>(out.size());
        return out;
    }

    // The lengths of the runs that fill the box row after row, a zero run
    // first, in pairs of a zero run and a one run.
    std::vector<unsigned> RunLengths(std::size_t i) const {
        const Box& box = boxes_[i];
        std::vector<unsigned> lengths{0};
        bool set = false;
        for (int row = 0; row < box.h; ++row)
            for (int col = box.x; col < box.Right(); ++col) {
                const bool pixel = glyphs_[i]->Pixel(col, options_.ascent - box.Top() + row);
                if (pixel != set) lengths.push_back(0), set = pixel;
                ++lengths.back();
            }
        if (lengths.size() % 2 == 1) lengths.push_back(0);
        return lengths;
    }

    // The pairs, a run longer than its field split over several and a pair
    // equal to the one before written as a single repeat bit; `put` takes
    // a field's width, its value and how many times it comes in a row, so
    // that counting the bits of a long run takes no longer than a short one.
    template <typename Put>
    static void PutRuns(const std::vector<unsigned>& lengths, int zeros, int ones, Put put) {
        const unsigned mostZeros = (1u << zeros) - 1, mostOnes = (1u << ones) - 1;
        bool first = true;
        unsigned lastZeros = 0, lastOnes = 0;
        const auto pairs = [&](unsigned a, unsigned b, unsigned times) {
            if (times == 0) return;
            if (first || a != lastZeros || b != lastOnes) {
                if (!first) put(1u, 0u, 1u);
                put(static_cast<unsigned>(zeros), a, 1u);
                put(static_cast<unsigned>(ones), b, 1u);
                first = false, lastZeros = a, lastOnes = b, --times;
            }
            put(1u, 1u, times);
        };
        for (std::size_t i = 0; i < lengths.size(); i += 2) {
            unsigned a = lengths[i], b = lengths[i + 1];
            if (a > mostZeros) {  // whole fields of zeros until what is left fits one
                const unsigned whole = (a - 1) / mostZeros;
                pairs(mostZeros, 0, whole);
                a -= whole * mostZeros;
            }
            if (b > mostOnes) {  // the first of the ones takes the zeros left
                const unsigned whole = (b - 1) / mostOnes;
                pairs(a, mostOnes, 1);
                pairs(0, mostOnes, whole - 1);
                a = 0, b -= whole * mostOnes;
            }
            if (a != 0 || b != 0) pairs(a, b, 1);
        }
    }

    std::vector<const font::Glyph*> glyphs_;
    const U8g2Options& options_;
    std::vector<Box> ink_, boxes_;
    std::vector<std::vector<unsigned>> runs_;
    Fields fields_;
};

}  // namespace

std::vector<const Glyph*> U8g2Glyphs(const Font& font, const std::vector<CharRange>& ranges) {
    std::vector<const Glyph*> glyphs;
    std::vector<std::string> beyond;
    for (const Glyph* glyph : PickedGlyphs(font, ranges)) {
        if (glyph->codePoint > 0xFFFF)
            beyond.push_back(DescribeCharacter(glyph->codePoint));
        else
            glyphs.push_back(glyph);
    }
    if (!beyond.empty()) {
        std::string names;
        for (const std::string& name : beyond) names += (names.empty() ? "" : ", ") + name;
        throw Failure("u8g2 fonts hold codes up to U+FFFF only, and the font has " + names);
    }
    return glyphs;
}

std::vector<std::uint8_t> EncodeU8g2Font(const Font& font, const U8g2Options& options) {
    return Encoder(U8g2Glyphs(font, options.ranges), options).Bytes();
}

}  // namespace font
