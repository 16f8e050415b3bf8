#include "picture/PngImage.h"

#include <algorithm>
#include <array>

#include "font/Failure.h"
#include "picture/PngLibrary.h"

namespace font {

bool IsPng(std::span<const std::uint8_t> bytes) {
    static constexpr std::array<std::uint8_t, 8> signature = {0x89, 'P',  'N',  'G',
                                                              '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin());
}

RgbaImage::RgbaImage(std::span<const std::uint8_t> png, const std::string& fileName, long maxPixels,
                     const std::string& what) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!LibPng().png_image_begin_read_from_memory(&image, png.data(), png.size()))
        throw Failure(fileName + ": not a PNG that can be read: " + image.message);
    width_ = image.width;
    height_ = image.height;
    if (width_ * height_ > maxPixels) {
        LibPng().png_image_free(&image);
        throw Failure(fileName + ": a picture of " + std::to_string(width_) + " × " +
                      std::to_string(height_) + " pixels is larger than " + what);
    }
    image.format = PNG_FORMAT_RGBA;
    pixels_.resize(PNG_IMAGE_SIZE(image));
    if (!LibPng().png_image_finish_read(&image, nullptr, pixels_.data(), 0, nullptr))
        throw Failure(fileName + ": not a PNG that can be read: " + image.message);
}

}  // namespace font
