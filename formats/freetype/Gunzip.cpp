#include "formats/freetype/Gunzip.h"

#include <algorithm>
#include <climits>

#include "font/Failure.h"
#include "formats/freetype/ZlibLibrary.h"

namespace font {
namespace {

constexpr std::size_t Block = 1 << 20;

// zlib's inflate state, ended with its scope.
class Inflater {
  public:
    Inflater() : zlib_(Zlib()) {
        // 16 + MAX_WBITS: a gzip header and trailer around the deflate data.
        if (zlib_.inflateInit2_(&stream_, 16 + MAX_WBITS, ZLIB_VERSION,
                                static_cast<int>(sizeof(z_stream))) != Z_OK)
            throw std::bad_alloc();
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater() { zlib_.inflateEnd(&stream_); }
    z_stream& operator*() { return stream_; }
    int Inflate(int flush) { return zlib_.inflate(&stream_, flush); }
    int Reset() { return zlib_.inflateReset(&stream_); }

  private:
    const ZlibFunctions& zlib_;
    z_stream stream_{};
};

Failure TooLarge(std::size_t limit, const std::string& fileName) {
    const std::string size = limit % (1 << 20) == 0 ? std::to_string(limit >> 20) + " MiB"
                                                    : std::to_string(limit) + " bytes";
    return Failure(fileName + ": inflates to more than " + size + ", more than any font it reads");
}

// The size of the last member's data as its trailer gives it, modulo 4 GiB.
std::size_t TrailerSize(std::span<const std::uint8_t> compressed) {
    if (compressed.size() < 18) return 0;
    const std::uint8_t* end = compressed.data() + compressed.size();
    return std::size_t{end[-4]} | std::size_t{end[-3]} << 8 | std::size_t{end[-2]} << 16 |
           std::size_t{end[-1]} << 24;
}

}  // namespace

bool IsGzip(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

std::vector<std::uint8_t> Gunzip(std::span<const std::uint8_t> compressed, std::size_t limit,
                                 const std::string& fileName) {
    const std::string damaged = fileName + ": its gzip data is damaged";
    Inflater inflater;
    z_stream& stream = *inflater;
    // Inflated in blocks and joined at the end, so that memory stays near the
    // size inflated rather than a growing buffer's copies. The first block
    // takes the size the gzip trailer gives, a hint only (a damaged file may
    // say anything): a font of one member then inflates into one buffer of
    // its size, with no join.
    std::vector<std::vector<std::uint8_t>> blocks;
    const std::size_t firstBlock =
        std::clamp<std::size_t>(TrailerSize(compressed) + 1, 4096, Block);
    std::size_t total = 0;
    std::size_t consumed = 0;
    for (;;) {
        if (total > limit) throw TooLarge(limit, fileName);
        if (blocks.empty() || blocks.back().size() == blocks.back().capacity()) {
            blocks.emplace_back();
            blocks.back().reserve(blocks.size() == 1 ? firstBlock : Block);
        }
        std::vector<std::uint8_t>& block = blocks.back();
        const std::size_t before = block.size();
        const std::size_t room = std::min(block.capacity() - before, limit + 1 - total);
        block.resize(before + room);
        const std::size_t input = std::min<std::size_t>(compressed.size() - consumed, UINT_MAX);
        stream.next_in = const_cast<Bytef*>(compressed.data() + consumed);
        stream.avail_in = static_cast<uInt>(input);
        stream.next_out = block.data() + before;
        stream.avail_out = static_cast<uInt>(room);
        const int status = inflater.Inflate(Z_NO_FLUSH);
        block.resize(before + room - stream.avail_out);
        total += room - stream.avail_out;
        consumed += input - stream.avail_in;
        if (status == Z_STREAM_END) {
            // Another member may follow, as `cat a.gz b.gz` makes; anything
            // else after the first is ignored, as gzip does.
            if (!IsGzip(compressed.subspan(consumed))) break;
            if (inflater.Reset() != Z_OK) throw Failure(damaged);
            continue;
        }
        // Z_BUF_ERROR: no progress, so the data ends before its end.
        if (status != Z_OK) throw Failure(damaged);
    }
    if (total > limit) throw TooLarge(limit, fileName);
    if (blocks.size() == 1) return std::move(blocks.front());
    std::vector<std::uint8_t> out;
    out.reserve(total);
    for (const std::vector<std::uint8_t>& block : blocks)
        out.insert(out.end(), block.begin(), block.end());
    return out;
}

}  // namespace font
