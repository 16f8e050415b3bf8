#include "formats/sfnt/HarfBuzzLibrary.h"

#include "font/LoadedLibrary.h"

namespace font {
namespace {

void BindHarfBuzz(const glyph::SharedLibrary& library, HarfBuzzFunctions& functions) {
#define BIND(function) library.Bind(#function, functions.function)
    BIND(hb_face_builder_create);
    BIND(hb_face_builder_add_table);
    BIND(hb_face_reference_blob);
    BIND(hb_face_destroy);
    BIND(hb_blob_create);
    BIND(hb_blob_get_data);
    BIND(hb_blob_destroy);
#undef BIND
}

}  // namespace

const HarfBuzzFunctions& HarfBuzz() {
    return LoadedLibrary<HarfBuzzFunctions>(
        "libharfbuzz.so.0", "HarfBuzz writes TrueType and OpenType files", BindHarfBuzz);
}

}  // namespace font
