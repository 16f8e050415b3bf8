#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace font {

// The bytes of an OpenType table as it is built: every number big-endian, as
// the font file stores it.
class BigEndianBytes {
  public:
    void U8(unsigned value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void I8(int value) { U8(static_cast<unsigned>(value) & 0xFFu); }
    void U16(unsigned value);
    void I16(int value) { U16(static_cast<unsigned>(value) & 0xFFFFu); }
    void U32(std::uint32_t value);
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void Tag(std::string_view fourLetters);
    void Append(const std::vector<std::uint8_t>& more);
    // Zero bytes up to the next multiple of `alignment`.
    void Pad(std::size_t alignment);
    // Overwrites the 16 bits at `offset`, already written.
    void PatchU16(std::size_t offset, unsigned value);

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace font
