#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace glyph {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity;
    std::string text;

    bool operator==(const Finding&) const = default;
};

// A strict reading of a glyph file's bytes, for a linter. Errors are what the
// editor refuses to open (too short, wider than 16 columns); warnings are what
// it reads but ignores (bytes 1 and 3 not 0, a height byte other than 7, bits
// at or beyond the width, bytes after the bitmap). `head` is the file's start,
// at least as much of it as a glyph takes; `fileSize` is the whole file's size.
std::vector<Finding> InspectGlyph(std::span<const std::uint8_t> head, std::uint64_t fileSize);

}  // namespace glyph
