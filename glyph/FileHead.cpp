#include "glyph/FileHead.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <system_error>

#include "glyph/UniqueFd.h"

namespace glyph {
namespace {

FileHead Failed(FileHeadStatus status, int error = 0) {
    FileHead head;
    head.status = status;
    head.error = error;
    return head;
}

// Makes the pages a read of `size` bytes into `bytes` will fill present in
// one call rather than one fault each, which is most of the cost of reading a
// large font where faults are dear (virtual machines). Only a hint: nothing
// changes when the system cannot.
void PopulatePages(std::uint8_t* bytes, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    constexpr std::size_t Worthwhile = std::size_t{64} << 10;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    if (size < Worthwhile || page == 0) return;
    const auto start = (reinterpret_cast<std::uintptr_t>(bytes) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(bytes) + size) / page * page;
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)bytes, (void)size;
#endif
}

}  // namespace

FileHead ReadFileHead(const std::string& path, std::size_t limit) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0) return Failed(FileHeadStatus::CannotOpen, errno);
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) return Failed(FileHeadStatus::CannotOpen, errno);
    if (S_ISDIR(status.st_mode)) return Failed(FileHeadStatus::IsDirectory, EISDIR);
    if (!S_ISREG(status.st_mode)) return Failed(FileHeadStatus::NotRegularFile);

    FileHead head;
    head.size = static_cast<std::uint64_t>(status.st_size);
    // A file that reports its size is read no further than that; one that
    // reports none (as some kernel files do) is read up to the end.
    const std::size_t wanted =
        head.size > 0 ? static_cast<std::size_t>(std::min<std::uint64_t>(limit, head.size)) : limit;
    head.bytes.reserve(wanted);
    PopulatePages(head.bytes.data(), wanted);
    head.bytes.resize(wanted);
    std::size_t filled = 0;
    while (filled < wanted) {
        const ssize_t got = ::read(fd.Get(), head.bytes.data() + filled, wanted - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Failed(FileHeadStatus::CannotRead, errno);
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    head.bytes.resize(filled);
    return head;
}

FileHead ReadFileHeadAt(int dirFd, const char* name, std::size_t limit, bool listedRegular) {
    const UniqueFd fd(::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0) return Failed(FileHeadStatus::CannotOpen, errno);
    struct stat status {};
    if (!listedRegular) {
        if (::fstat(fd.Get(), &status) != 0) return Failed(FileHeadStatus::CannotOpen, errno);
        if (S_ISDIR(status.st_mode)) return Failed(FileHeadStatus::IsDirectory, EISDIR);
        if (!S_ISREG(status.st_mode)) return Failed(FileHeadStatus::NotRegularFile);
    }
    // One byte more than the limit tells a file that ends within it from a
    // longer one.
    FileHead head;
    head.bytes.resize(limit + 1);
    std::size_t filled = 0;
    while (filled < head.bytes.size()) {
        const ssize_t got =
            ::read(fd.Get(), head.bytes.data() + filled, head.bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0)
            return Failed(
                errno == EISDIR ? FileHeadStatus::IsDirectory : FileHeadStatus::CannotRead, errno);
        filled += static_cast<std::size_t>(got);
        // A regular file reads short only at its end.
        if (got == 0 || filled < head.bytes.size()) break;
    }
    head.size = filled;
    if (filled > limit) {
        if (status.st_size == 0 && ::fstat(fd.Get(), &status) != 0)
            return Failed(FileHeadStatus::CannotRead, errno);
        head.size = std::max<std::uint64_t>(static_cast<std::uint64_t>(status.st_size), filled);
        filled = limit;
    }
    head.bytes.resize(filled);
    return head;
}

std::string TrimReason(std::string text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

std::string SystemErrorText(int errorNumber) {
    return TrimReason(std::generic_category().message(errorNumber));
}

}  // namespace glyph
