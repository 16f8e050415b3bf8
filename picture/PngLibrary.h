#pragma once

#include <png.h>

namespace font {

// The libpng functions that write and read pictures. libpng is loaded the
// first time a picture is written or read rather than at every start: most
// runs draw none.
struct PngFunctions {
    decltype(&::png_create_write_struct) png_create_write_struct;
    decltype(&::png_create_info_struct) png_create_info_struct;
    decltype(&::png_destroy_write_struct) png_destroy_write_struct;
    decltype(&::png_set_longjmp_fn) png_set_longjmp_fn;
    decltype(&::png_longjmp) png_longjmp;
    decltype(&::png_error) png_error;
    decltype(&::png_get_io_ptr) png_get_io_ptr;
    decltype(&::png_get_error_ptr) png_get_error_ptr;
    decltype(&::png_set_write_fn) png_set_write_fn;
    decltype(&::png_set_filter) png_set_filter;
    decltype(&::png_set_compression_level) png_set_compression_level;
    decltype(&::png_set_IHDR) png_set_IHDR;
    decltype(&::png_set_PLTE) png_set_PLTE;
    decltype(&::png_write_info) png_write_info;
    decltype(&::png_write_row) png_write_row;
    decltype(&::png_write_end) png_write_end;
    decltype(&::png_image_begin_read_from_memory) png_image_begin_read_from_memory;
    decltype(&::png_image_finish_read) png_image_finish_read;
    decltype(&::png_image_free) png_image_free;
};

// libpng, loaded on the first call and kept until the program ends. Raises
// Failure when it cannot be loaded.
const PngFunctions& LibPng();

}  // namespace font
