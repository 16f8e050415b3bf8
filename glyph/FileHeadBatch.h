#pragma once

#include <cstddef>
#include <functional>

#include "glyph/FileHead.h"

namespace glyph {

// An entry of a folder to read the head of, and whether the folder's listing
// says it is a regular file.
struct HeadRequest {
    const char* name;
    bool listedRegular;
};

// The entries `request(0)` to `request(count - 1)` of the folder `dirFd`,
// asked for one at a time so that a long folder needs no second list of
// them. Reads the head of each exactly as ReadFileHeadAt reads it, and gives
// them to `take` in order. The regular
// files of a long list are opened, read and closed through io_uring, a batch
// at a time: three system calls a batch rather than three a file, most of
// the time of reading a folder of small files. Where io_uring would read
// through a worker thread (tmpfs), the opened files are read with read(2).
// Whatever io_uring cannot do, or any file it fails on, is read the plain
// way, so every result and every error is the one ReadFileHeadAt gives.
void ReadFileHeadsAt(int dirFd, std::size_t count,
                     const std::function<HeadRequest(std::size_t index)>& request,
                     std::size_t limit,
                     const std::function<void(std::size_t index, FileHead&& head)>& take);

}  // namespace glyph
