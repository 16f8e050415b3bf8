#pragma once

#include <QString>
#include <cstdint>
#include <span>

#include "glyph/CellGrid.h"

// The file side of the commands: whole glyph files in and out, with errors
// that name the file's full path and the operating system's reason.

// The absolute path of `path`, cleaned but not resolved through links.
QString FullPath(const QString& path);

// The system's text for an errno value, without trailing blanks, control
// characters and periods.
QString SystemErrorText(int errorNumber);

// Reads and checks the whole glyph file before it changes `grid`, and returns
// the glyph's width. Anything but a regular file is refused without blocking.
int LoadGlyphFile(const QString& path, glyph::CellGrid& grid);

// Replaces the file's content with `bytes` so that a failure leaves the old
// content in place and the file keeps its owner, group, mode and other names;
// a read-only file, a folder, a FIFO and a device are refused.
void SaveGlyphFile(const QString& path, std::span<const std::uint8_t> bytes);
