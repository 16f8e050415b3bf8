#pragma once

#include <zlib.h>

namespace font {

// The zlib functions that inflate a gzip font. zlib is loaded the first time
// such a font is read rather than at every start.
struct ZlibFunctions {
    decltype(&::inflateInit2_) inflateInit2_;
    decltype(&::inflate) inflate;
    decltype(&::inflateReset) inflateReset;
    decltype(&::inflateEnd) inflateEnd;
};

// zlib, loaded on the first call and kept until the program ends. Raises
// Failure when it cannot be loaded.
const ZlibFunctions& Zlib();

}  // namespace font
