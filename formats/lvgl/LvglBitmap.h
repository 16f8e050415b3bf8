#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace font::lvgl {

// How a font's glyph bitmaps are stored (bitmap_format, the binary font's
// compression id).
enum class BitmapFormat { Plain = 0, Compressed = 1, CompressedNoPrefilter = 2 };

// Bits read from the most significant of each byte down, between two bit
// positions of `bytes`.
class BitReader {
  public:
    struct End {};  // raised by a read past the last bit

    BitReader(std::span<const std::uint8_t> bytes, std::size_t bit, std::size_t endBit)
        : bytes_(bytes), bit_(bit), end_(endBit < bytes.size() * 8 ? endBit : bytes.size() * 8) {}

    // The next `count` bits (0 to 32) as an unsigned number.
    std::uint32_t Read(int count);
    // The next `count` bits as a two's complement number.
    std::int64_t ReadSigned(int count);
    std::size_t Position() const { return bit_; }
    // Moves on to the next multiple of `bytes` bytes from `origin`, a bit position.
    void AlignTo(std::size_t origin, std::size_t bytes);

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t bit_;
    std::size_t end_;
};

// The values of a box's pixels, row after row, each from 0 to 2^bpp - 1, read
// from `bits`: packed without padding (or each row starting `stride` bytes on
// when it is not 0), or run-length compressed as LVGL's converter does, with
// or without each row XORed with the one above. Raises BitReader::End when
// the bits end first.
std::vector<std::uint8_t> DecodePixels(BitReader bits, int width, int height, int bpp,
                                       BitmapFormat format, int stride);

}  // namespace font::lvgl
