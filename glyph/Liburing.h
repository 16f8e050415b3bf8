#pragma once

#include <liburing.h>

namespace glyph {

// The liburing functions that are not inline in its header. liburing is
// loaded the first time a folder is read in batches rather than at every
// start: most runs read a few files or none.
struct LiburingFunctions {
    decltype(&::io_uring_queue_init) io_uring_queue_init;
    decltype(&::io_uring_queue_exit) io_uring_queue_exit;
    decltype(&::io_uring_submit_and_wait) io_uring_submit_and_wait;
};

// liburing, loaded on the first call and kept until the program ends; null
// when it cannot be loaded, and then the files are read one by one.
const LiburingFunctions* Liburing();

}  // namespace glyph
