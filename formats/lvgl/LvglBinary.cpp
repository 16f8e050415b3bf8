#include "formats/lvgl/LvglBinary.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "font/Failure.h"

namespace font::lvgl {
namespace {

constexpr std::size_t HeadBytes = 48;
constexpr std::size_t TableHeaderBytes = 12;  // size, label, count
constexpr std::size_t GlyfHeaderBytes = 8;    // size, label

// Bits written from the most significant of each byte down.
class BitWriter {
  public:
    void Write(std::int64_t value, int count) {
        for (int k = count - 1; k >= 0; --k, ++bit_) {
            if (bit_ % 8 == 0) bytes_.push_back(0);
            if ((value >> k & 1) != 0) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> bit_ % 8);
        }
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t bit_ = 0;
};

// The fewest bits that hold `value` unsigned, and in two's complement.
int UnsignedBits(std::int64_t value) {
    int bits = 0;
    for (; value > 0; value >>= 1) ++bits;
    return bits;
}
int SignedBits(std::int64_t value) {
    return (value >= 0 ? UnsignedBits(value) : UnsignedBits(-value - 1)) + 1;
}

void Put(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t value, int bytes) {
    for (int k = 0; k < bytes; ++k)
        out[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
}
void Append(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    out.resize(out.size() + static_cast<std::size_t>(bytes));
    Put(out, out.size() - static_cast<std::size_t>(bytes), value, bytes);
}
void Align4(std::vector<std::uint8_t>& out) {
    out.resize((out.size() + 3) / 4 * 4);
}

// A table's record: its size, its label and (for all but glyf) a count.
std::vector<std::uint8_t> Table(const char* label) {
    std::vector<std::uint8_t> table(8);
    std::memcpy(table.data() + 4, label, 4);
    return table;
}
void Close(std::vector<std::uint8_t>& table) {
    Put(table, 0, table.size(), 4);
}

std::vector<std::uint8_t> Cmap(const Layout& layout) {
    std::vector<std::uint8_t> cmap = Table("cmap");
    Append(cmap, layout.cmaps.size(), 4);
    std::vector<std::vector<std::uint8_t>> data;
    for (const CmapTable& t : layout.cmaps) {
        std::vector<std::uint8_t> d;
        for (const std::uint16_t code : t.codes) Append(d, code, 2);
        for (const std::uint16_t id : t.glyphIdOffsets) Append(d, id, 1);
        Align4(d);
        data.push_back(std::move(d));
    }
    std::size_t offset = TableHeaderBytes + 16 * layout.cmaps.size();
    for (std::size_t i = 0; i < layout.cmaps.size(); ++i) {
        const CmapTable& t = layout.cmaps[i];
        Append(cmap, offset, 4);
        Append(cmap, t.rangeStart, 4);
        Append(cmap, t.rangeLength, 2);
        Append(cmap, t.glyphIdStart, 2);
        Append(cmap, t.codes.empty() ? t.rangeLength : t.codes.size(), 2);
        Append(cmap, static_cast<std::uint8_t>(t.type), 1);
        Append(cmap, 0, 1);
        offset += data[i].size();
    }
    for (const auto& d : data) cmap.insert(cmap.end(), d.begin(), d.end());
    Close(cmap);
    return cmap;
}

}  // namespace

std::vector<std::uint8_t> WriteLvglBinary(const Layout& layout) {
    const auto& glyphs = layout.glyphs;
    int xyBits = 0, whBits = 0, advanceBits = 0;
    std::int64_t minY = glyphs.front().offsetY,
                 maxY = glyphs.front().offsetY + glyphs.front().boxHeight;
    bool monospaced = true;
    for (const LaidGlyph& g : glyphs) {
        xyBits = std::max({xyBits, SignedBits(g.offsetX), SignedBits(g.offsetY)});
        whBits = std::max({whBits, UnsignedBits(g.boxWidth), UnsignedBits(g.boxHeight)});
        advanceBits = std::max(advanceBits, SignedBits(g.advance));
        minY = std::min<std::int64_t>(minY, g.offsetY);
        maxY = std::max<std::int64_t>(maxY, g.offsetY + g.boxHeight);
        monospaced = monospaced && g.advance == glyphs.front().advance;
    }

    std::vector<std::uint8_t> glyf = Table("glyf");
    std::vector<std::size_t> offsets = {glyf.size()};  // glyph 0 holds nothing
    for (const LaidGlyph& g : glyphs) {
        offsets.push_back(glyf.size());
        BitWriter bits;
        if (!monospaced) bits.Write(g.advance, advanceBits);
        bits.Write(g.offsetX, xyBits);
        bits.Write(g.offsetY, xyBits);
        bits.Write(g.boxWidth, whBits);
        bits.Write(g.boxHeight, whBits);
        for (std::size_t bit = 0; bit < static_cast<std::size_t>(g.boxWidth * g.boxHeight); ++bit)
            bits.Write(g.bitmap[bit / 8] >> (7 - bit % 8) & 1, 1);
        const auto data = bits.Take();
        glyf.insert(glyf.end(), data.begin(), data.end());
    }
    Align4(glyf);
    Close(glyf);
    const bool longOffsets = glyf.size() > 0xFFFF;

    std::vector<std::uint8_t> loca = Table("loca");
    Append(loca, offsets.size(), 4);
    for (const std::size_t offset : offsets) Append(loca, offset, longOffsets ? 4 : 2);
    Align4(loca);
    Close(loca);

    std::vector<std::uint8_t> head = Table("head");
    head.resize(HeadBytes);
    const int descent = layout.ascent - layout.lineHeight;
    Put(head, 8, 1, 4);   // version
    Put(head, 12, 3, 2);  // tables after head: cmap, loca, glyf
    Put(head, 14, static_cast<std::uint64_t>(layout.lineHeight), 2);  // font size
    Put(head, 16, static_cast<std::uint64_t>(layout.ascent), 2);
    Put(head, 18, static_cast<std::uint64_t>(descent), 2);
    Put(head, 20, static_cast<std::uint64_t>(layout.ascent), 2);  // typographic ascent
    Put(head, 22, static_cast<std::uint64_t>(descent), 2);        // and descent
    Put(head, 26, static_cast<std::uint64_t>(minY), 2);
    Put(head, 28, static_cast<std::uint64_t>(maxY), 2);
    Put(head, 30, monospaced ? static_cast<std::uint64_t>(glyphs.front().advance) : 0, 2);
    Put(head, 32, 16, 2);  // kerning scale 1.0, in 1/16
    head[34] = longOffsets ? 1 : 0;
    head[35] = glyphs.size() > 0xFF ? 1 : 0;  // glyph ids of 2 bytes
    head[37] = 1;                             // bits a pixel
    head[38] = static_cast<std::uint8_t>(xyBits);
    head[39] = static_cast<std::uint8_t>(whBits);
    head[40] = static_cast<std::uint8_t>(monospaced ? 0 : advanceBits);
    Put(head, 44, static_cast<std::uint64_t>(-1), 2);  // underline one row under the baseline
    Put(head, 46, 1, 2);                               // one row thick
    Close(head);

    const std::vector<std::uint8_t> cmap = Cmap(layout);
    std::vector<std::uint8_t> out;
    out.reserve(head.size() + cmap.size() + loca.size() + glyf.size());
    for (const auto& table : {std::cref(head), std::cref(cmap), std::cref(loca), std::cref(glyf)})
        out.insert(out.end(), table.get().begin(), table.get().end());
    return out;
}

namespace {

class BinaryReader {
  public:
    BinaryReader(std::span<const std::uint8_t> bytes, const std::string& fileName)
        : bytes_(bytes), fileName_(fileName) {}

    Face Read() {
        Face face;
        face.source = "its LVGL binary font";
        const std::size_t headSize = Label(0, "head");
        if (headSize < HeadBytes)
            Refuse("its head table is " + std::to_string(headSize) + " bytes, fewer than " +
                   std::to_string(HeadBytes));
        const std::uint64_t tables = Get(12, 2);
        const auto ascent = static_cast<std::int64_t>(Get(16, 2));
        const auto descent = static_cast<std::int16_t>(Get(18, 2));
        const std::uint64_t defaultAdvance = Get(30, 2);
        const std::uint64_t longOffsets = Get(34, 1);
        const std::uint64_t advanceFormat = Get(36, 1);
        face.bpp = static_cast<int>(Get(37, 1));
        const int xyBits = Bits(38, "x/y"), whBits = Bits(39, "width/height"),
                  advanceBits = Bits(40, "advance");
        const std::uint64_t compression = Get(41, 1);
        face.lineHeight = ascent - descent;
        face.baseLine = -descent;
        face.kerning = tables >= 4;
        if (face.bpp != 1 && face.bpp != 2 && face.bpp != 3 && face.bpp != 4 && face.bpp != 8)
            Refuse("its head gives " + std::to_string(face.bpp) +
                   " bits a pixel, not 1, 2, 3, 4 or 8");
        if (compression > 2)
            Refuse("its head gives compression " + std::to_string(compression) +
                   ", which LVGL does not have");
        face.bitmapFormat = static_cast<BitmapFormat>(compression);
        if (longOffsets > 1) Refuse("its head gives loca offsets of an unknown size");

        const std::size_t cmapStart = headSize;
        const std::size_t cmapSize = Label(cmapStart, "cmap");
        ReadCmaps(cmapStart, cmapSize, face);

        const std::size_t locaStart = cmapStart + cmapSize;
        const std::size_t locaSize = Label(locaStart, "loca");
        const std::uint64_t count = Get(locaStart + 8, 4);
        const std::size_t width = longOffsets != 0 ? 4 : 2;
        if (count > (locaSize - TableHeaderBytes) / width)
            Refuse("its loca table holds fewer offsets than its " + std::to_string(count) +
                   " glyphs");

        const std::size_t glyfStart = locaStart + locaSize;
        const std::size_t glyfSize = Label(glyfStart, "glyf");
        face.bitmap.assign(bytes_.begin(), bytes_.end());
        face.glyphs.resize(static_cast<std::size_t>(count));
        for (std::size_t id = 1; id < count; ++id) {
            const std::uint64_t offset = Get(locaStart + TableHeaderBytes + id * width, width);
            const std::uint64_t next =
                id + 1 < count ? Get(locaStart + TableHeaderBytes + (id + 1) * width, width)
                               : glyfSize;
            if (offset < GlyfHeaderBytes || offset > next || next > glyfSize)
                Refuse("the loca offset of glyph " + std::to_string(id) +
                       " lies outside its glyf data");
            BitReader bits(bytes_, (glyfStart + offset) * 8, (glyfStart + next) * 8);
            FaceGlyph& g = face.glyphs[id];
            try {
                g.advance = advanceBits == 0 ? static_cast<std::int64_t>(defaultAdvance)
                                             : bits.Read(advanceBits);
                if (advanceFormat == 0) g.advance *= 16;
                g.offsetX = bits.ReadSigned(xyBits);
                g.offsetY = bits.ReadSigned(xyBits);
                g.boxWidth = bits.Read(whBits);
                g.boxHeight = bits.Read(whBits);
            } catch (const BitReader::End&) {
                Refuse("the data of glyph " + std::to_string(id) + " ends inside its description");
            }
            if (g.boxWidth > 0xFFFF || g.boxHeight > 0xFFFF || g.offsetX < -32768 ||
                g.offsetX > 32767 || g.offsetY < -32768 || g.offsetY > 32767)
                Refuse("glyph " + std::to_string(id) + " has a box LVGL cannot hold");
            g.bitmapBit = bits.Position();
            g.bitmapEnd = (glyfStart + next) * 8;
        }
        return face;
    }

  private:
    [[noreturn]] void Refuse(const std::string& what) const {
        throw Failure(fileName_ + ": " + what);
    }

    std::uint64_t Get(std::size_t at, std::size_t count) const {
        if (at > bytes_.size() || count > bytes_.size() - at) Refuse("ends inside its tables");
        std::uint64_t value = 0;
        for (std::size_t k = count; k-- > 0;) value = value << 8 | bytes_[at + k];
        return value;
    }

    int Bits(std::size_t at, const char* what) const {
        const auto bits = static_cast<int>(Get(at, 1));
        if (bits > 32)
            Refuse(std::string("its head gives ") + what + " fields of " + std::to_string(bits) +
                   " bits");
        return bits;
    }

    // The size of the table at `at`, which must carry `label` and fit the file.
    std::size_t Label(std::size_t at, const char* label) const {
        const std::uint64_t size = Get(at, 4);
        Get(at + 4, 4);
        if (std::memcmp(bytes_.data() + at + 4, label, 4) != 0)
            Refuse(std::string("has no ") + label + " table where one should start, at byte " +
                   std::to_string(at));
        const std::size_t least =
            std::string_view(label) == "glyf" ? GlyfHeaderBytes : TableHeaderBytes;
        if (size < least || size > bytes_.size() - at)
            Refuse(std::string("its ") + label + " table's size " + std::to_string(size) +
                   " does not fit the file");
        return static_cast<std::size_t>(size);
    }

    void ReadCmaps(std::size_t start, std::size_t size, Face& face) const {
        const std::uint64_t count = Get(start + 8, 4);
        if (count > (size - TableHeaderBytes) / 16)
            Refuse("its cmap table is too short for its " + std::to_string(count) + " maps");
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = start + TableHeaderBytes + 16 * i;
            CmapTable table;
            const std::uint64_t offset = Get(at, 4);
            table.rangeStart = static_cast<std::uint32_t>(Get(at + 4, 4));
            table.rangeLength = static_cast<std::uint32_t>(Get(at + 8, 2));
            table.glyphIdStart = static_cast<std::uint32_t>(Get(at + 10, 2));
            const std::uint64_t entries = Get(at + 12, 2);
            table.type = static_cast<CmapTable::Type>(Get(at + 14, 1));
            const auto data = [&](std::uint64_t index, std::size_t width) {
                const std::uint64_t where = offset + index * width;
                if (where + width > size)
                    Refuse("character map " + std::to_string(i) + " runs past its cmap table");
                return static_cast<std::uint16_t>(Get(start + where, width));
            };
            switch (table.type) {
                case CmapTable::Type::Format0Full:
                    for (std::uint64_t r = 0; r < table.rangeLength; ++r)
                        table.glyphIdOffsets.push_back(data(r, 1));
                    break;
                case CmapTable::Type::SparseTiny:
                case CmapTable::Type::SparseFull:
                    for (std::uint64_t k = 0; k < entries; ++k) table.codes.push_back(data(k, 2));
                    if (table.type == CmapTable::Type::SparseFull)
                        for (std::uint64_t k = 0; k < entries; ++k)
                            table.glyphIdOffsets.push_back(data(entries + k, 2));
                    break;
                default:
                    break;  // format 0 tiny has no data; other types are refused with the maps
            }
            face.cmaps.push_back(std::move(table));
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::string fileName_;
};

}  // namespace

std::optional<Face> ReadLvglBinary(std::span<const std::uint8_t> bytes,
                                   const std::string& fileName) {
    if (bytes.size() < 8 || std::memcmp(bytes.data() + 4, "head", 4) != 0) return std::nullopt;
    return BinaryReader(bytes, fileName).Read();
}

}  // namespace font::lvgl
