#include "glyph/FileWriting.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

#include "glyph/FileReplacement.h"
#include "glyph/UniqueFd.h"

namespace glyph {
namespace {

using Kind = FileWriteError::Kind;

}  // namespace

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t wrote = offset < 0 ? ::write(fd, bytes.data(), bytes.size())
                                         : ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote == 0) errno = EIO;
        if (wrote <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(wrote));
        if (offset >= 0) offset += wrote;
    }
    return true;
}

bool TakeOwner(int fd, const struct stat& existing) {
    struct stat mine {};
    if (::fstat(fd, &mine) != 0) return false;
    if (mine.st_uid == existing.st_uid && mine.st_gid == existing.st_gid) return true;
    const uid_t owner = mine.st_uid == existing.st_uid ? static_cast<uid_t>(-1) : existing.st_uid;
    const gid_t group = mine.st_gid == existing.st_gid ? static_cast<gid_t>(-1) : existing.st_gid;
    return ::fchown(fd, owner, group) == 0;
}

void OverwriteInPlace(int dirFd, const char* name, const struct stat& expected,
                      std::span<const std::uint8_t> bytes, bool durable) {
    UniqueFd fd(::openat(dirFd, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) throw FileWriteError(Kind::CannotCreate, "cannot open", errno);
    struct stat now {};
    if (::fstat(fd.Get(), &now) != 0)
        throw FileWriteError(Kind::CannotCreate, "cannot open", errno);
    if (now.st_dev != expected.st_dev || now.st_ino != expected.st_ino)
        throw FileWriteError(Kind::CannotCreate, "cannot open",
                             EAGAIN);  // replaced while we looked

    const auto size = static_cast<off_t>(bytes.size());
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(size) > limit.rlim_cur)
        throw FileWriteError(Kind::CannotWrite, "cannot write", EFBIG);
    if (size > now.st_size && ::fallocate(fd.Get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
    if (!WriteAll(fd.Get(), bytes, 0))
        throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
    if (::ftruncate(fd.Get(), size) != 0)
        throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
    if (durable && ::fsync(fd.Get()) != 0)
        throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
    if (!fd.Close()) throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
}

}  // namespace glyph
