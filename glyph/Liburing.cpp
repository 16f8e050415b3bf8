#include "glyph/Liburing.h"

#include <optional>
#include <stdexcept>

#include "glyph/SharedLibrary.h"

namespace glyph {
namespace {

struct Loaded {
    Loaded() : library("liburing.so.2") {
        library.Bind("io_uring_queue_init", functions.io_uring_queue_init);
        library.Bind("io_uring_queue_exit", functions.io_uring_queue_exit);
        library.Bind("io_uring_submit_and_wait", functions.io_uring_submit_and_wait);
    }
    SharedLibrary library;
    LiburingFunctions functions{};
};

std::optional<Loaded> Load() {
    try {
        return std::optional<Loaded>(std::in_place);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

}  // namespace

const LiburingFunctions* Liburing() {
    static const std::optional<Loaded> loaded = Load();
    return loaded ? &loaded->functions : nullptr;
}

}  // namespace glyph
