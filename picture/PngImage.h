#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace font {

// Whether the bytes start as a PNG file does.
bool IsPng(std::span<const std::uint8_t> bytes);

struct Rgba {
    std::uint8_t r, g, b, a;
};

// A PNG file's picture as 8-bit RGBA, whatever colour type the file has.
class RgbaImage {
  public:
    // Raises Failure naming `fileName` for bytes libpng cannot read, and for a
    // picture of more than `maxPixels` pixels, which is "larger than `what`".
    RgbaImage(std::span<const std::uint8_t> png, const std::string& fileName, long maxPixels,
              const std::string& what);

    long Width() const { return width_; }
    long Height() const { return height_; }
    Rgba Pixel(long x, long y) const {
        const std::size_t i = static_cast<std::size_t>(y * width_ + x) * 4;
        return {pixels_[i], pixels_[i + 1], pixels_[i + 2], pixels_[i + 3]};
    }

  private:
    long width_ = 0;
    long height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace font
