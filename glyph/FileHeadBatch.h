#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "glyph/FileHead.h"

namespace glyph {

// An entry of a folder to read the head of, and whether the folder's listing
// says it is a regular file.
struct HeadRequest {
    const char* name;
    bool listedRegular;
};

// Reads the head of each entry of the folder `dirFd` exactly as
// ReadFileHeadAt reads it, and gives them to `take` in order. The regular
// files of a long list are opened, read and closed through io_uring, a batch
// at a time: three system calls a batch rather than three a file, most of
// the time of reading a folder of small files. Where io_uring would read
// through a worker thread (tmpfs), the opened files are read with read(2).
// Whatever io_uring cannot do, or any file it fails on, is read the plain
// way, so every result and every error is the one ReadFileHeadAt gives.
void ReadFileHeadsAt(int dirFd, std::span<const HeadRequest> requests, std::size_t limit,
                     const std::function<void(std::size_t index, FileHead&& head)>& take);

}  // namespace glyph
