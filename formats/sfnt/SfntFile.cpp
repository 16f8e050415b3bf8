#include "formats/sfnt/SfntFile.h"

#include <memory>

#include "font/Failure.h"
#include "formats/sfnt/HarfBuzzLibrary.h"

namespace font {
namespace {

struct FaceRelease {
    void operator()(hb_face_t* face) const { HarfBuzz().hb_face_destroy(face); }
};
struct BlobRelease {
    void operator()(hb_blob_t* blob) const { HarfBuzz().hb_blob_destroy(blob); }
};
using Face = std::unique_ptr<hb_face_t, FaceRelease>;
using Blob = std::unique_ptr<hb_blob_t, BlobRelease>;

}  // namespace

std::vector<std::uint8_t> AssembleFontFile(const SfntTables& tables) {
    const HarfBuzzFunctions& hb = HarfBuzz();
    Face face(hb.hb_face_builder_create());
    for (const auto& [tag, bytes] : tables) {
        if (tag.size() != 4) throw Failure("a table tag is not 4 characters: '" + tag + "'");
        Blob blob(hb.hb_blob_create(reinterpret_cast<const char*>(bytes.data()),
                                    static_cast<unsigned>(bytes.size()), HB_MEMORY_MODE_DUPLICATE,
                                    nullptr, nullptr));
        if (!hb.hb_face_builder_add_table(face.get(), HB_TAG(tag[0], tag[1], tag[2], tag[3]),
                                          blob.get()))
            throw Failure("HarfBuzz cannot add the " + tag + " table");
    }
    Blob file(hb.hb_face_reference_blob(face.get()));
    unsigned length = 0;
    const char* data = hb.hb_blob_get_data(file.get(), &length);
    if (data == nullptr || length == 0) throw Failure("HarfBuzz cannot lay out the font file");
    return {data, data + length};
}

}  // namespace font
