#pragma once

#include <filesystem>
#include <vector>

#include "font/Glyph.h"

namespace font {

// A font: its glyphs in ascending code point order, at most one a character.
struct Font {
    std::vector<Glyph> glyphs;

    const Glyph* Find(char32_t codePoint) const;
};

// The entries of `dir` whose names end in ".dat", sorted by name. Throws
// Failure when the folder cannot be read.
std::vector<std::filesystem::path> GlyphFilesIn(const std::filesystem::path& dir);

struct FileProblem {
    std::filesystem::path path;
    std::string reason;
};

// The glyph files of a folder by their names: every entry ending in ".dat"
// with the character its name holds, and a problem for each name that fits
// neither form or names a character an earlier file already holds.
struct FolderListing {
    std::vector<std::pair<std::filesystem::path, char32_t>> files;
    std::vector<FileProblem> problems;
};
FolderListing ListFontFolder(const std::filesystem::path& dir);

// Reads a folder of glyph files, one a character. A name that fits neither
// file name form, two files for one character, or a file the editor would
// refuse is a problem; all of them are reported together in one Failure.
Font LoadFontFolder(const std::filesystem::path& dir);

// The path as the user should read it.
std::string Display(const std::filesystem::path& path);

}  // namespace font
