#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace glyph {

// Names of work in progress in a folder: a temporary file that becomes a
// file when it is whole, and a staging folder whose files take their names
// together. Both are hidden, of a fixed length, random, and never end in
// ".dat", so that no folder listing takes them for glyph files. Whoever
// works under such a name holds a lock (flock) on it for as long as it works.
std::string TemporaryFileName();
std::string StagingFolderName();

enum class LeftoverKind { TemporaryFile, StagingFolder };

// Work in progress that nobody holds any more: what a process killed in the
// middle of a write left behind.
struct Leftover {
    std::string name;
    LeftoverKind kind;
};

// The leftovers in the folder `dirFd`, by name.
std::vector<Leftover> FindLeftovers(int dirFd);
// The same among `names`, the entries of the folder that a listing of it
// gave, for a caller that lists it anyway.
std::vector<Leftover> FindLeftovers(int dirFd, std::span<const std::string> names);

// Removes the leftovers in the folder `dirFd`, as far as it can: a staging
// folder is removed with the files in it, and kept when it holds anything
// else.
void RemoveLeftovers(int dirFd);

// Whether `name` has the form of a name of work in progress.
bool IsLeftoverName(std::string_view name, LeftoverKind kind);

}  // namespace glyph
