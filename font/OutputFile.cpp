#include "font/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "font/Failure.h"
#include "font/FontFolder.h"
#include "glyph/FileHead.h"

namespace font {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const fs::path& path, const std::string& what, int error) {
    throw Failure(Display(path) + ": " + what + ": " + glyph::SystemErrorText(error));
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote == 0) errno = EIO;
        if (wrote <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

// A file created beside the target, removed again unless it was renamed. It
// is made with the umask's mode for a new file, as any other would be.
class TemporaryFile {
  public:
    explicit TemporaryFile(const fs::path& target) {
        static unsigned serial = 0;
        std::string leaf = ".";
        leaf += target.filename().string();
        const std::string stem =
            (target.parent_path() / leaf).string() + "." + std::to_string(::getpid()) + ".";
        do {
            path_ = stem + std::to_string(serial++);
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        } while (fd_ < 0 && errno == EEXIST);
        if (fd_ < 0) {
            path_.clear();
            Fail(target, "cannot create a file beside it", errno);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    int fd() const { return fd_; }
    // Closes the file; false with errno set when the close reports a failure.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    void Kept() { path_.clear(); }
    const std::string& path() const { return path_; }

  private:
    int fd_ = -1;
    std::string path_;
};

void WriteDirectly(const fs::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) Fail(path, "cannot open", errno);
    const bool wrote = WriteAll(fd, bytes);
    const int writeError = errno;
    if (::close(fd) != 0 && wrote) Fail(path, "cannot write", errno);
    if (!wrote) Fail(path, "cannot write", writeError);
}

// Writes `bytes` beside `target` and renames them over it, keeping the mode
// of `existing` when there was a file. `path` is the name the user gave.
void ReplaceWith(const fs::path& path, const fs::path& target, std::string_view bytes,
                 const struct stat* existing, bool durable) {
    TemporaryFile file(target);
    if (!WriteAll(file.fd(), bytes)) Fail(path, "cannot write", errno);
    if (existing != nullptr && ::fchmod(file.fd(), existing->st_mode & 07777) != 0)
        Fail(path, "cannot keep the mode", errno);
    if (durable && ::fsync(file.fd()) != 0) Fail(path, "cannot write", errno);
    if (!file.Close()) Fail(path, "cannot write", errno);
    if (::rename(file.path().c_str(), target.c_str()) != 0) Fail(path, "cannot replace", errno);
    file.Kept();
}

}  // namespace

void WriteOutputFile(const fs::path& path, std::string_view bytes, bool durable) {
    if (path == "-") {
        if (!WriteAll(STDOUT_FILENO, bytes)) Fail("standard output", "cannot write", errno);
        return;
    }
    fs::path target = path;
    struct stat status {};
    bool exists = ::lstat(path.c_str(), &status) == 0;
    if (exists && S_ISLNK(status.st_mode)) {
        std::error_code error;
        target = fs::weakly_canonical(path, error);
        if (error) Fail(path, "cannot follow the link", error.value());
        exists = ::stat(target.c_str(), &status) == 0;
    }
    if (exists) {
        if (S_ISDIR(status.st_mode)) Fail(path, "cannot write", EISDIR);
        if (!S_ISREG(status.st_mode)) return WriteDirectly(target, bytes);
        // A file nobody may write is not replaced, even by a user who could.
        if ((status.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            Fail(path, "cannot write", EACCES);
    }

    ReplaceWith(path, target, bytes, exists ? &status : nullptr, durable);
}

void WriteNewOutputFile(const fs::path& path, std::string_view bytes) {
    ReplaceWith(path, path, bytes, nullptr, false);
}

}  // namespace font
