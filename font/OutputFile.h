#pragma once

#include <filesystem>
#include <string_view>

namespace font {

// Writes `bytes` as the whole content of `path` so that no failure leaves a
// half-written file or harms an existing one: the bytes go to a new file
// beside it, which then replaces it by a rename. A link is followed, so the
// file it points to is replaced; a FIFO or a device is written to directly;
// a folder is refused. The file's mode is kept, or for a new file taken from
// the umask. With `durable`, the data reaches the disk before the rename.
// "-" writes to standard output. Raises Failure naming the path.
void WriteOutputFile(const std::filesystem::path& path, std::string_view bytes,
                     bool durable = true);

// The same for a path the caller has just found free, as in a folder it
// listed: written beside and renamed into place without looking at the path
// again, and without waiting for the disk.
void WriteNewOutputFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace font
