#include "formats/sfnt/SfntFile.h"

#include <hb.h>

#include <memory>

#include "font/Failure.h"

namespace font {
namespace {

struct FaceRelease {
    void operator()(hb_face_t* face) const { hb_face_destroy(face); }
};
struct BlobRelease {
    void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
};
using Face = std::unique_ptr<hb_face_t, FaceRelease>;
using Blob = std::unique_ptr<hb_blob_t, BlobRelease>;

std::uint32_t ReadU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 |
           static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

void WriteU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// The sum of the file as 32-bit big-endian words, the last one padded.
std::uint32_t Checksum(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        std::uint32_t word = 0;
        for (std::size_t i = 0; i < 4; ++i)
            word = word << 8 | (at + i < bytes.size() ? bytes[at + i] : 0u);
        sum += word;
    }
    return sum;
}

// Sets head's checkSumAdjustment so that the whole file sums to 0xB1B0AFBA.
void AdjustChecksum(std::vector<std::uint8_t>& file) {
    const std::size_t tables =
        file.size() < 12 ? 0 : (static_cast<std::size_t>(file[4]) << 8 | file[5]);
    for (std::size_t t = 0; t < tables && 12 + 16 * (t + 1) <= file.size(); ++t) {
        const std::size_t record = 12 + 16 * t;
        if (ReadU32(file, record) != HB_TAG('h', 'e', 'a', 'd')) continue;
        const std::size_t adjustment = ReadU32(file, record + 8) + 8;
        if (adjustment + 4 > file.size()) break;
        WriteU32(file, adjustment, 0);
        WriteU32(file, adjustment, 0xB1B0AFBAu - Checksum(file));
        return;
    }
    throw Failure("HarfBuzz wrote a font without its head table");
}

}  // namespace

std::vector<std::uint8_t> AssembleFontFile(const SfntTables& tables) {
    Face face(hb_face_builder_create());
    for (const auto& [tag, bytes] : tables) {
        Blob blob(hb_blob_create(reinterpret_cast<const char*>(bytes.data()),
                                 static_cast<unsigned>(bytes.size()), HB_MEMORY_MODE_DUPLICATE,
                                 nullptr, nullptr));
        if (!hb_face_builder_add_table(face.get(), hb_tag_from_string(tag.data(), 4), blob.get()))
            throw Failure("HarfBuzz cannot add the " + tag + " table");
    }
    Blob file(hb_face_reference_blob(face.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(file.get(), &length);
    if (data == nullptr || length == 0) throw Failure("HarfBuzz cannot lay out the font file");
    std::vector<std::uint8_t> bytes(data, data + length);
    AdjustChecksum(bytes);
    return bytes;
}

}  // namespace font
