#include "formats/freetype/Gunzip.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "font/Failure.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// One gzip member holding `data`, made by zlib's deflate.
Bytes GzipMember(const Bytes& data) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    Bytes out(deflateBound(&stream, data.size()));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string FailureOf(const Bytes& compressed, std::size_t limit) {
    try {
        font::Gunzip(compressed, limit, "f.gz");
    } catch (const font::Failure& failure) {
        return failure.what();
    }
    return "";
}

TEST(GunzipTest, InflatesEveryMemberOnce) {
    const Bytes hello = {'h', 'e', 'l', 'l', 'o'};
    const Bytes big(3 << 20, 'x');  // more than one block
    EXPECT_TRUE(font::IsGzip(GzipMember(hello)));
    EXPECT_FALSE(font::IsGzip(hello));
    EXPECT_EQ(font::Gunzip(GzipMember(hello), 5, "f.gz"), hello);
    EXPECT_EQ(font::Gunzip(GzipMember(hello) + GzipMember(big), 5 + big.size(), "f.gz"),
              hello + big);
    EXPECT_EQ(font::Gunzip(GzipMember(hello) + Bytes{'j', 'u', 'n', 'k'}, 5, "f.gz"), hello)
        << "what follows the members is ignored, as gzip does";
}

// The last member's trailer sizes the first block; it may say far less or
// far more than the whole inflates to.
TEST(GunzipTest, InflatesWhateverTheLastTrailerSays) {
    Bytes varied(300000);
    for (std::size_t i = 0; i < varied.size(); ++i)
        varied[i] = static_cast<std::uint8_t>(i * 7 % 251);
    const Bytes hello = {'h', 'e', 'l', 'l', 'o'};
    const Bytes big(3 << 20, 'y');
    const struct {
        Bytes compressed, inflated;
    } cases[] = {
        {GzipMember(varied), varied},
        {GzipMember(varied) + GzipMember(hello), varied + hello},
        {GzipMember(big) + GzipMember(varied), big + varied},
        {GzipMember(hello) + GzipMember(big) + Bytes(8, 0xFF), hello + big},
        {GzipMember(Bytes{}), Bytes{}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(font::Gunzip(c.compressed, c.inflated.size(), "f.gz"), c.inflated)
            << c.inflated.size() << " bytes";
}

TEST(GunzipTest, RefusesABombAndDamage) {
    const Bytes zeros(4 << 20, 0);
    const Bytes bomb = GzipMember(zeros);
    EXPECT_EQ(FailureOf(bomb, (4 << 20) - 1),
              "f.gz: inflates to more than 4194303 bytes, more than any font it reads");
    EXPECT_EQ(FailureOf(GzipMember(Bytes{1}) + bomb, 2 << 20),
              "f.gz: inflates to more than 2 MiB, more than any font it reads");
    EXPECT_EQ(FailureOf(Bytes(bomb.begin(), bomb.end() - 20), 8 << 20),
              "f.gz: its gzip data is damaged");
    Bytes flipped = GzipMember(Bytes{'a', 'b', 'c'});
    flipped[flipped.size() - 5] ^= 0xFF;  // the checksum
    EXPECT_EQ(FailureOf(flipped, 100), "f.gz: its gzip data is damaged");
}

}  // namespace
