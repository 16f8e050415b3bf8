#pragma once

#include <string>

#include "font/FontFolder.h"

// The folder's own name, also for "." or a path ending in a slash.
std::string FolderName(const std::string& dir);

// The name of the file at `path` without its extensions: "5x7" for
// "fonts/5x7.pcf.gz". A name that only starts with a dot keeps it.
std::string FileStem(const std::string& path);

// The font of a folder that a command writes `out` from, refused when it has
// no glyphs or when `out` is one of its files.
font::Font LoadFolderFont(const std::string& dir, const std::string& out);
