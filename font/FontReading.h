#pragma once

#include <span>

#include "font/FontFormat.h"

namespace font {

// A font read from a file, and the format it was read as.
struct FontRead {
    const FontFormat* format;
    ImportReport report;
};

// Reads `file` as `from` when one is named, else as the first of `formats`
// whose reader takes it, in their order. Raises Failure when `from` does not
// take it (with that format's reason) or when no reader does (listing every
// format tried); the report's glyphs are in code point order.
FontRead ReadFontFile(const FontFile& file, std::span<const FontFormat* const> formats,
                      const FontFormat* from, const ReadOptions& options);

// The first of `groups` with an option among `given` that `format`'s reader
// does not take; null when there is none.
const OptionGroup* GroupNotTaken(const FontFormat& format,
                                 std::span<const OptionGroup* const> groups,
                                 const OptionValues& given);

}  // namespace font
