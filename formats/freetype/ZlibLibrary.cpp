#include "formats/freetype/ZlibLibrary.h"

#include "font/LoadedLibrary.h"

namespace font {
namespace {

void BindZlib(const glyph::SharedLibrary& library, ZlibFunctions& functions) {
#define BIND(function) library.Bind(#function, functions.function)
    BIND(inflateInit2_);
    BIND(inflate);
    BIND(inflateReset);
    BIND(inflateEnd);
#undef BIND
}

}  // namespace

const ZlibFunctions& Zlib() {
    return LoadedLibrary<ZlibFunctions>("libz.so.1", "zlib inflates gzip fonts", BindZlib);
}

}  // namespace font
