#pragma once

#include <hb.h>

namespace font {

// The HarfBuzz functions that lay out a font file. HarfBuzz, with the
// libraries it brings (GLib, PCRE2, Graphite), is loaded the first time a
// TrueType or OpenType file is written rather than at every start: most runs
// never need it.
struct HarfBuzzFunctions {
    decltype(&::hb_face_builder_create) hb_face_builder_create;
    decltype(&::hb_face_builder_add_table) hb_face_builder_add_table;
    decltype(&::hb_face_reference_blob) hb_face_reference_blob;
    decltype(&::hb_face_destroy) hb_face_destroy;
    decltype(&::hb_blob_create) hb_blob_create;
    decltype(&::hb_blob_get_data) hb_blob_get_data;
    decltype(&::hb_blob_destroy) hb_blob_destroy;
};

// HarfBuzz, loaded on the first call and kept until the program ends. Raises
// Failure when it cannot be loaded.
const HarfBuzzFunctions& HarfBuzz();

}  // namespace font
