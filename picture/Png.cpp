#include "picture/Png.h"

#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "font/Failure.h"
#include "picture/PngLibrary.h"

namespace font {
namespace {

// Where libpng's callbacks leave their results; a plain struct, so that the
// longjmp libpng uses for errors skips nothing that needs destroying.
struct Sink {
    std::vector<std::uint8_t>* out;
    char error[200];
};

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<Sink*>(LibPng().png_get_io_ptr(png));
    bool full = false;
    try {
        sink->out->insert(sink->out->end(), data, data + length);
    } catch (...) {
        full = true;
    }
    if (full) LibPng().png_error(png, "out of memory");
}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<Sink*>(LibPng().png_get_error_ptr(png));
    std::snprintf(sink->error, sizeof sink->error, "%s", message);
    LibPng().png_longjmp(png, 1);
    std::abort();  // png_longjmp does not return; its pointer cannot say so
}

void OnWarning(png_structp, png_const_charp) {}

// The form of the picture to write, its rows packed as the bit depth says.
struct Picture {
    png_uint_32 width, height;
    int bitDepth, colorType;
    int filter;                                // the one PNG_FILTER_... every row takes
    const std::vector<PaletteColor>* palette;  // for PNG_COLOR_TYPE_PALETTE
    const std::function<const png_byte*(png_uint_32 y)>* row;
};

// Runs the libpng calls; returns false with sink.error set when libpng fails.
bool Write(Sink& sink, const Picture& picture) {
    png_structp png =
        LibPng().png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    if (png == nullptr) return false;
    png_infop info = LibPng().png_create_info_struct(png);
    if (info == nullptr ||
        setjmp(*LibPng().png_set_longjmp_fn(png, std::longjmp, sizeof(std::jmp_buf)))) {
        LibPng().png_destroy_write_struct(&png, &info);
        return false;
    }
    LibPng().png_set_write_fn(png, &sink, Append, nullptr);
    // These pictures are a few colours in long runs, which deflate's fastest
    // level packs nearly as small as its default does, in a fraction of the
    // time; one filter for every row spares libpng trying each on each row.
    LibPng().png_set_filter(png, PNG_FILTER_TYPE_BASE, picture.filter);
    LibPng().png_set_compression_level(png, Z_BEST_SPEED);
    LibPng().png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth,
                          picture.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                          PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colors;
    if (picture.palette != nullptr) {
        for (const PaletteColor& c : *picture.palette) colors.push_back({c[0], c[1], c[2]});
        LibPng().png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
    }
    LibPng().png_write_info(png, info);
    for (png_uint_32 y = 0; y < picture.height; ++y) LibPng().png_write_row(png, (*picture.row)(y));
    LibPng().png_write_end(png, nullptr);
    LibPng().png_destroy_write_struct(&png, &info);
    return true;
}

std::vector<std::uint8_t> Encode(const Picture& picture) {
    std::vector<std::uint8_t> out;
    Sink sink{&out, {}};
    if (!Write(sink, picture))
        throw Failure(std::string("cannot make the PNG: ") +
                      (sink.error[0] != 0 ? sink.error : "out of memory"));
    return out;
}

// Clears bits [from, to) of a row of one bit a pixel: whole bytes at once.
void Blacken(png_byte* row, long from, long to) {
    const auto mask = [](long bits) { return static_cast<png_byte>(0xFFu >> bits); };
    if (from / 8 == to / 8) {
        row[from / 8] &= static_cast<png_byte>(~mask(from % 8) | mask(to % 8));
        return;
    }
    row[from / 8] &= static_cast<png_byte>(~mask(from % 8));
    std::fill(row + from / 8 + 1, row + to / 8, png_byte{0});
    if (to % 8 != 0) row[to / 8] &= mask(to % 8);
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PixelLine& line, int scale) {
    const long width = static_cast<long>(line.Columns()) * scale;
    const long height = static_cast<long>(PixelLine::Rows) * scale;
    if (line.Columns() == 0) throw Failure("the text has no columns to draw");
    if (scale < 1 || width > MaxPngSide || height > MaxPngSide)
        throw Failure("a picture of " + std::to_string(width) + " × " + std::to_string(height) +
                      " pixels is too large for a PNG");

    // One bit a pixel, the leftmost in the most significant bit; 0 is black.
    const auto stride = static_cast<std::size_t>((width + 7) / 8);
    std::vector<png_byte> rows(stride * PixelLine::Rows, png_byte{0xFF});
    for (int row = 0; row < PixelLine::Rows; ++row)
        for (int col = 0; col < line.Columns();) {
            if (!line.Pixel(col, row)) {
                ++col;
                continue;
            }
            const int first = col;
            while (col < line.Columns() && line.Pixel(col, row)) ++col;
            Blacken(rows.data() + static_cast<std::size_t>(row) * stride,
                    static_cast<long>(first) * scale, static_cast<long>(col) * scale);
        }

    const std::function<const png_byte*(png_uint_32)> row = [&](png_uint_32 y) {
        return rows.data() + static_cast<std::size_t>(y / static_cast<png_uint_32>(scale)) * stride;
    };
    // Each row repeats `scale` times, further apart than deflate looks back
    // in a long line: "up" turns the repeats into zeros.
    return Encode({static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 1,
                   PNG_COLOR_TYPE_GRAY, PNG_FILTER_UP, nullptr, &row});
}

std::vector<std::uint8_t> EncodeIndexedPng(
    long width, long height, const std::vector<PaletteColor>& palette,
    const std::function<void(long y, std::vector<std::uint8_t>& row)>& fillRow) {
    if (width < 1 || height < 1 || width > MaxPngSide || height > MaxPngSide)
        throw Failure("a picture of " + std::to_string(width) + " × " + std::to_string(height) +
                      " pixels is too large for a PNG");
    // Up to 16 colours take 4 bits a pixel, two to a byte, packed here:
    // libpng's own packing goes bit by bit.
    const bool nibbles = palette.size() <= 16;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) + 1);
    std::vector<png_byte> packed(static_cast<std::size_t>(width + 1) / 2);
    const std::function<const png_byte*(png_uint_32)> row = [&](png_uint_32 y) {
        pixels.resize(static_cast<std::size_t>(width));
        fillRow(static_cast<long>(y), pixels);
        if (!nibbles) return pixels.data();
        pixels.push_back(0);
        for (std::size_t i = 0; i < packed.size(); ++i)
            packed[i] = static_cast<png_byte>(pixels[2 * i] << 4 | pixels[2 * i + 1]);
        return packed.data();
    };
    // The rows of a picture of a few thousand pixels lie within deflate's
    // reach of each other, and runs of indices pack better unfiltered.
    return Encode({static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                   nibbles ? 4 : 8, PNG_COLOR_TYPE_PALETTE, PNG_FILTER_NONE, &palette, &row});
}

}  // namespace font
