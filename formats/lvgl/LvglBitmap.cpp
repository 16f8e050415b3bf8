#include "formats/lvgl/LvglBitmap.h"

namespace font::lvgl {

std::uint32_t BitReader::Read(int count) {
    if (static_cast<std::size_t>(count) > end_ - bit_) throw End{};
    std::uint32_t value = 0;
    for (int k = 0; k < count; ++k, ++bit_)
        value = value << 1 | static_cast<std::uint32_t>(bytes_[bit_ / 8] >> (7 - bit_ % 8) & 1);
    return value;
}

std::int64_t BitReader::ReadSigned(int count) {
    const std::uint32_t value = Read(count);
    if (count == 0 || (value >> (count - 1) & 1) == 0) return value;
    return static_cast<std::int64_t>(value) - (std::int64_t{1} << count);
}

void BitReader::AlignTo(std::size_t origin, std::size_t bytes) {
    const std::size_t unit = bytes * 8;
    const std::size_t past = (bit_ - origin) % unit;
    if (past != 0) bit_ = std::min(end_, bit_ + unit - past);
}

namespace {

// The run-length decoder of LVGL's compressed bitmaps: a value repeated
// once goes on repeating while 1 bits follow, and after ten such bits the
// eleventh is followed by a 6-bit count of further repeats.
class RunLengthReader {
  public:
    RunLengthReader(BitReader& bits, int bpp) : bits_(bits), bpp_(bpp) {}

    std::uint8_t Next() {
        switch (state_) {
            case State::Single: {
                const auto value = Value();
                if (started_ && value == previous_) count_ = 0, state_ = State::Repeated;
                started_ = true;
                previous_ = value;
                return value;
            }
            case State::Repeated:
                ++count_;
                if (bits_.Read(1) == 0) return Fresh();
                if (count_ == 11) {
                    count_ = static_cast<int>(bits_.Read(6));
                    if (count_ == 0) return Fresh();
                    state_ = State::Counted;
                }
                return previous_;
            case State::Counted:
                if (--count_ == 0) return Fresh();
                return previous_;
        }
        return previous_;
    }

  private:
    enum class State { Single, Repeated, Counted };

    std::uint8_t Value() { return static_cast<std::uint8_t>(bits_.Read(bpp_)); }
    std::uint8_t Fresh() {
        previous_ = Value();
        state_ = State::Single;
        return previous_;
    }

    BitReader& bits_;
    int bpp_;
    State state_ = State::Single;
    bool started_ = false;
    std::uint8_t previous_ = 0;
    int count_ = 0;
};

}  // namespace

std::vector<std::uint8_t> DecodePixels(BitReader bits, int width, int height, int bpp,
                                       BitmapFormat format, int stride) {
    const auto w = static_cast<std::size_t>(width);
    std::vector<std::uint8_t> pixels(w * static_cast<std::size_t>(height));
    if (format == BitmapFormat::Plain) {
        const std::size_t origin = bits.Position();
        for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
            if (stride > 0) bits.AlignTo(origin, static_cast<std::size_t>(stride));
            for (std::size_t col = 0; col < w; ++col)
                pixels[row * w + col] = static_cast<std::uint8_t>(bits.Read(bpp));
        }
        return pixels;
    }
    RunLengthReader runs(bits, bpp);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = runs.Next();
        if (format == BitmapFormat::Compressed && i >= w) pixels[i] ^= pixels[i - w];
    }
    return pixels;
}

}  // namespace font::lvgl
