#include "formats/sfnt/BigEndianBytes.h"

namespace font {

void BigEndianBytes::U16(unsigned value) {
    U8(value >> 8);
    U8(value);
}

void BigEndianBytes::U32(std::uint32_t value) {
    U16(value >> 16);
    U16(value & 0xFFFFu);
}

void BigEndianBytes::Tag(std::string_view fourLetters) {
    for (const char c : fourLetters) U8(static_cast<unsigned char>(c));
}

void BigEndianBytes::Append(const std::vector<std::uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
}

void BigEndianBytes::Pad(std::size_t alignment) {
    while (bytes_.size() % alignment != 0) U8(0);
}

void BigEndianBytes::PatchU16(std::size_t offset, unsigned value) {
    bytes_.at(offset) = static_cast<std::uint8_t>(value >> 8);
    bytes_.at(offset + 1) = static_cast<std::uint8_t>(value);
}

}  // namespace font
