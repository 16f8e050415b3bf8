#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace glyph {

enum class FileHeadStatus { Ok, CannotOpen, IsDirectory, NotRegularFile, CannotRead };

// The start of a file, or why it could not be had.
struct FileHead {
    FileHeadStatus status = FileHeadStatus::Ok;
    int error = 0;                    // errno, for CannotOpen and CannotRead
    std::uint64_t size = 0;           // the whole file's size
    std::vector<std::uint8_t> bytes;  // at most the limit asked for, from offset 0
};

// Opens `path` without blocking and reads at most `limit` bytes of it. Anything
// but a regular file is refused before a byte is read, so a FIFO or a device
// cannot hold the caller.
FileHead ReadFileHead(const std::string& path, std::size_t limit);

// The same for the entry `name` of the folder `dirFd`. When the folder's
// listing already says that the entry is a regular file, the file is opened
// and read without asking its type and size: a read shorter than asked for
// ends it, and only a file longer than `limit` is asked its size.
FileHead ReadFileHeadAt(int dirFd, const char* name, std::size_t limit, bool listedRegular);

// The system's text for an errno value, without trailing blanks, control
// characters and periods.
std::string SystemErrorText(int errorNumber);
std::string TrimReason(std::string text);

}  // namespace glyph
