#pragma once

#include <dirent.h>
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
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

// An entry of a folder as its one listing gave it. Its members go from the
// largest to the smallest, which leaves no padding between them: a long
// folder lists many.
struct FolderEntry {
    std::string name;
    ino_t inode = 0;
    char32_t codePoint = 0;
    unsigned char type = DT_UNKNOWN;  // as readdir gives it
};

// The glyph files of a folder by their names, read in one pass through one
// descriptor that stays open for reading them: every entry ending in ".dat"
// with the character its name holds, sorted by it, and a problem for each
// name that fits neither form or names a character a file of a smaller name
// already holds.
class FolderListing {
  public:
    std::filesystem::path dir;
    std::vector<FolderEntry> files;
    std::vector<FolderEntry> refused;  // in the order of `problems`
    std::vector<FileProblem> problems;
    // The names that have the form of work in progress (glyph/Leftovers.h).
    std::vector<std::string> inProgressNames;

    int Fd() const { return folder_ ? ::dirfd(folder_.get()) : -1; }
    std::filesystem::path PathOf(const FolderEntry& entry) const { return dir / entry.name; }

  private:
    struct Closer {
        void operator()(DIR* folder) const { ::closedir(folder); }
    };
    std::unique_ptr<DIR, Closer> folder_;

    friend FolderListing ListFontFolder(const std::filesystem::path&, std::error_code&);
};

// Throws Failure when the folder cannot be read.
FolderListing ListFontFolder(const std::filesystem::path& dir);
// Sets `error`, with nothing listed, when the folder cannot be read.
FolderListing ListFontFolder(const std::filesystem::path& dir, std::error_code& error);

// Reads a folder of glyph files, one a character. A name that fits neither
// file name form, two files for one character, or a file the editor would
// refuse is a problem; all of them are reported together in one Failure.
Font LoadFontFolder(const std::filesystem::path& dir);
Font LoadFontFolder(const FolderListing& listing);

// The path as the user should read it.
std::string Display(const std::filesystem::path& path);

}  // namespace font
