#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "font/FontFolder.h"
#include "font/Glyph.h"
#include "glyph/GlyphCheck.h"

namespace font {

// One glyph file read as the editor reads it, and as strictly as a linter.
struct GlyphFileInspection {
    std::vector<glyph::Finding> findings;  // a file that cannot be opened has one error
    std::optional<Glyph> glyph;            // present when there is no error

    // The first error, for callers that refuse the file as a whole.
    std::string FirstError() const;
};

// Opens the file without blocking; a folder, FIFO or device is an error.
GlyphFileInspection InspectGlyphFile(const std::filesystem::path& path, char32_t codePoint = 0);
// The same for each of `entries` of a folder's listing, opened through its
// descriptor and read in batches, given to `take` in order.
void InspectGlyphFilesAt(
    const FolderListing& listing, std::span<const FolderEntry> entries,
    const std::function<void(const FolderEntry& entry, GlyphFileInspection&& inspection)>& take);

// The file name `import` gives a character: "U+0041.dat".
std::string GlyphFileName(char32_t codePoint);

// The character a file name holds: "U+XXXX.dat" (4 to 6 hexadecimal digits,
// either case) or exactly one character and ".dat". Nothing for any other name
// or a name that is not valid UTF-8.
std::optional<char32_t> CodePointOfFileName(std::string_view name);

}  // namespace font
