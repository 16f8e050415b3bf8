#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace font {

// u8g2 packs a glyph's fields and runs into bytes from the least significant
// bit up, a field running on into the next byte.
class U8g2BitWriter {
  public:
    explicit U8g2BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void Put(unsigned bits, unsigned value) {
        for (unsigned i = 0; i < bits; ++i, ++used_) {
            if (used_ % 8 == 0) out_.push_back(0);
            if ((value >> i & 1) != 0) out_.back() |= static_cast<std::uint8_t>(1u << used_ % 8);
        }
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::size_t used_ = 0;
};

// Reads fields back; a field past the last byte sets `overrun` and reads as 0.
class U8g2BitReader {
  public:
    explicit U8g2BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    unsigned Get(unsigned bits) {
        unsigned value = 0;
        for (unsigned i = 0; i < bits; ++i, ++at_) {
            if (at_ / 8 >= bytes_.size()) {
                overrun = true;
                return 0;
            }
            value |= static_cast<unsigned>(bytes_[at_ / 8] >> at_ % 8 & 1) << i;
        }
        return value;
    }
    // A field stored with half its range added.
    int GetSigned(unsigned bits) {
        const int value = static_cast<int>(Get(bits));
        return bits == 0 ? value : value - (1 << (bits - 1));
    }

    bool overrun = false;

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

}  // namespace font
