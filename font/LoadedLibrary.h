#pragma once

#include <stdexcept>
#include <string>

#include "font/Failure.h"
#include "glyph/SharedLibrary.h"

namespace font {

// The functions of a library that only some runs need, loaded on the first
// call and kept until the program ends: `Functions` holds a pointer to each,
// which `bind` sets. Raises Failure naming the library and `use` (what the
// program needs it for) when it cannot be loaded; a later call tries again.
template <typename Functions>
const Functions& LoadedLibrary(const char* soname, const char* use,
                               void (*bind)(const glyph::SharedLibrary&, Functions&)) {
    struct Loaded {
        Loaded(const char* soname, void (*bind)(const glyph::SharedLibrary&, Functions&))
            : library(soname) {
            bind(library, functions);
        }
        glyph::SharedLibrary library;
        Functions functions{};
    };
    try {
        static const Loaded loaded(soname, bind);
        return loaded.functions;
    } catch (const std::runtime_error& error) {
        throw Failure(std::string(error.what()) + " (" + use + ")");
    }
}

}  // namespace font
