#include "picture/PngLibrary.h"

#include "font/LoadedLibrary.h"

namespace font {
namespace {

void BindPng(const glyph::SharedLibrary& library, PngFunctions& functions) {
#define BIND(function) library.Bind(#function, functions.function)
    BIND(png_create_write_struct);
    BIND(png_create_info_struct);
    BIND(png_destroy_write_struct);
    BIND(png_set_longjmp_fn);
    BIND(png_longjmp);
    BIND(png_error);
    BIND(png_get_io_ptr);
    BIND(png_get_error_ptr);
    BIND(png_set_write_fn);
    BIND(png_set_filter);
    BIND(png_set_compression_level);
    BIND(png_set_IHDR);
    BIND(png_set_PLTE);
    BIND(png_write_info);
    BIND(png_write_row);
    BIND(png_write_end);
    BIND(png_image_begin_read_from_memory);
    BIND(png_image_finish_read);
    BIND(png_image_free);
#undef BIND
}

}  // namespace

const PngFunctions& LibPng() {
    return LoadedLibrary<PngFunctions>("libpng16.so.16", "libpng writes and reads pictures",
                                       BindPng);
}

}  // namespace font
