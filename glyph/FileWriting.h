#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <span>

namespace glyph {

// Writes every byte, from the current position or from `offset`; false with
// errno set when the file takes no more.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, off_t offset = -1);

// Gives the new file `fd` the owner and group of `existing`; false when the
// process may not.
bool TakeOwner(int fd, const struct stat& existing);

// Writes `bytes` over the regular file `name` in the folder `dirFd` itself,
// which keeps every name, owner and attribute it has, when it is still the
// file `expected` describes. Space is claimed before the first byte changes,
// so a full disk or a size limit leaves the old content whole. Raises
// FileWriteError.
void OverwriteInPlace(int dirFd, const char* name, const struct stat& expected,
                      std::span<const std::uint8_t> bytes, bool durable);

}  // namespace glyph
