#include "glyph/FileReplacement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "glyph/DeferredSignals.h"
#include "glyph/FileWriting.h"
#include "glyph/Leftovers.h"
#include "glyph/UniqueFd.h"

namespace glyph {
namespace {

namespace fs = std::filesystem;
using Kind = FileWriteError::Kind;

constexpr int MaxLinkHops = 40;

// The temporary name that exists while a file is being written, for the
// signal handler to remove. There is at most one at a time.
constexpr std::size_t PendingSize = 4096 + 64;
char pendingName[PendingSize];
volatile std::sig_atomic_t pendingSet = 0;

extern "C" void RemovePendingAndEnd(int signal) {
    if (pendingSet) ::unlink(pendingName);
    // The handler was reset to the default on entry; the signal, blocked
    // while the handler runs, ends the process as soon as it returns.
    ::raise(signal);
}

// Registers a temporary name with the signal handler for its lifetime.
class PendingName {
  public:
    explicit PendingName(const std::string& path) {
        if (path.size() >= PendingSize) return;  // too long to be created anyway
        std::memcpy(pendingName, path.c_str(), path.size() + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        pendingSet = 1;
    }
    PendingName(const PendingName&) = delete;
    PendingName& operator=(const PendingName&) = delete;
    ~PendingName() { pendingSet = 0; }
};

std::string TemporaryName(const std::string& dir) {
    return dir + "/" + TemporaryFileName();
}

// The file a path names once symbolic links are followed (when asked), and
// what it is; `exists` is false when nothing is there.
struct Target {
    std::string path;
    bool exists = false;
    struct stat status {};
};

Target Resolve(const std::string& path, bool followLinks) {
    Target target{path};
    for (int hops = 0;; ++hops) {
        if (::lstat(target.path.c_str(), &target.status) != 0) {
            if (errno != ENOENT) throw FileWriteError(Kind::CannotCreate, "cannot open", errno);
            return target;
        }
        if (!followLinks || !S_ISLNK(target.status.st_mode)) {
            target.exists = true;
            return target;
        }
        if (hops == MaxLinkHops)
            throw FileWriteError(Kind::CannotCreate, "cannot follow the link", ELOOP);
        std::error_code error;
        const fs::path link = fs::read_symlink(target.path, error);
        if (error)
            throw FileWriteError(Kind::CannotCreate, "cannot follow the link", error.value());
        target.path = (fs::path(target.path).parent_path() / link).string();
    }
}

std::string FolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

bool ProcFdAvailable() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

// A new file in a folder that takes its name only when it is whole: unnamed
// (O_TMPFILE) where the file system allows, else under a temporary name that
// is removed again unless the file took the final one. It is locked from
// before it has any name, so that whoever finds it under a temporary name
// can tell a file being written from one a killed process left.
class NewFile {
  public:
    explicit NewFile(const std::string& dir) : dir_(dir) {
        if (ProcFdAvailable()) {
            fd_.Reset(::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
            if (fd_.Valid()) {
                ::flock(fd_.Get(), LOCK_EX);
                return;
            }
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
                error_ = errno;
                return;
            }
        }
        while (!CreateNamed()) {
            if (errno != EEXIST) {
                error_ = errno;
                return;
            }
        }
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (!name_.empty()) ::unlink(name_.c_str());
    }

    int Fd() const { return fd_.Get(); }
    // errno of the creation when Fd() is negative.
    int Error() const { return error_; }
    bool Close() { return fd_.Close(); }

    // Gives the file the name `path` unless something already has it (EEXIST).
    bool LinkAs(const std::string& path) {
        if (name_.empty()) return LinkUnnamed(path);
        if (::renameat2(AT_FDCWD, name_.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
            Unname();
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS) return false;
        return ::link(name_.c_str(), path.c_str()) == 0;  // the temporary name goes with *this
    }

    // Gives the file the name `path`, replacing what has it.
    bool RenameOver(const std::string& path) {
        while (name_.empty()) {
            Name(TemporaryName(dir_));
            if (LinkUnnamed(name_)) break;
            Unname();
            if (errno != EEXIST) return false;
        }
        if (::rename(name_.c_str(), path.c_str()) != 0) return false;
        Unname();
        return true;
    }

  private:
    // Whether the file was created under a temporary name; on failure, errno
    // is EEXIST when the name was taken, or when a cleaner of leftovers
    // removed the file between its creation and its lock.
    bool CreateNamed() {
        Name(TemporaryName(dir_));
        fd_.Reset(::open(name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
        if (fd_.Valid()) {
            // A file system that cannot lock leaves the file unlocked.
            ::flock(fd_.Get(), LOCK_EX);
            struct stat status {};
            if (::fstat(fd_.Get(), &status) != 0 || status.st_nlink > 0) return true;
            fd_.Reset();
            errno = EEXIST;
        }
        Unname();
        return false;
    }
    bool LinkUnnamed(const std::string& path) const {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }
    void Name(const std::string& name) {
        pending_.reset();
        name_ = name;
        pending_.emplace(name_);
    }
    void Unname() {
        pending_.reset();
        name_.clear();
    }

    std::string dir_;
    UniqueFd fd_;
    int error_ = 0;
    std::string name_;
    std::optional<PendingName> pending_;
};

void Overwrite(const Target& target, std::span<const std::uint8_t> bytes, bool durable) {
    OverwriteInPlace(AT_FDCWD, target.path.c_str(), target.status, bytes, durable);
}

// A FIFO or a device takes the bytes as they come.
void WriteDirectly(const std::string& path, std::span<const std::uint8_t> bytes) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) throw FileWriteError(Kind::CannotCreate, "cannot open", errno);
    if (!WriteAll(fd.Get(), bytes)) throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
    if (!fd.Close()) throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
}

void SyncFolder(const std::string& dir) {
    const UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) ::fsync(fd.Get());  // some file systems cannot, and need not
}

// One replacement of a file: Plan looks at what is at the path, refuses
// what must be refused and chooses the way; Write gives the new file the
// content as it comes, when that way has a new file; Finish ends it. The
// way and its fallbacks are those of ReplaceFile.
class Replacement {
  public:
    Replacement(const std::string& path, const ReplaceOptions& options)
        : path_(path), options_(options), keep_(options.existing == ExistingFile::Keep) {}

    void Plan() {
        if (path_.empty()) throw FileWriteError(Kind::CannotCreate, "cannot create", ENOENT);
        // A path that must be free needs no look first: taking the name fails if anything has it.
        target_ = options_.existing == ExistingFile::Refuse ? Target{path_} : Resolve(path_, keep_);
        const struct stat& existing = target_.status;
        replacing_ = target_.exists && S_ISREG(existing.st_mode);
        if (target_.exists) {
            if (options_.existing == ExistingFile::Refuse)
                throw FileWriteError(Kind::CannotCreate, "exists", EEXIST);
            if (S_ISDIR(existing.st_mode))
                throw FileWriteError(Kind::CannotCreate, "cannot write", EISDIR);
            if (!replacing_ && !S_ISLNK(existing.st_mode)) {
                if (keep_ && options_.special == SpecialFile::WriteDirectly) {
                    way_ = Way::Directly;
                    return;
                }
                throw FileWriteError(Kind::NotRegularFile, "not a regular file", 0);
            }
            // A file nobody may write is not replaced, even by a user who could.
            if (replacing_ && ((existing.st_mode & 0222) == 0 ||
                               ::faccessat(AT_FDCWD, target_.path.c_str(), W_OK, AT_EACCESS) != 0))
                throw FileWriteError(Kind::CannotCreate, "cannot write", EACCES);
        }
        // Only the file itself can keep a second name.
        if (keep_ && replacing_ && existing.st_nlink > 1) {
            way_ = Way::InPlace;
            return;
        }
        dir_ = FolderOf(target_.path);
        file_.emplace(dir_);
        if (file_->Fd() < 0) {
            if (!(keep_ && replacing_))
                throw FileWriteError(Kind::CannotCreate, "cannot create", file_->Error());
            way_ = Way::InPlace;
        }
    }

    // Whether the content goes to a new file as it comes.
    bool TakesPieces() const { return way_ == Way::NewFile; }

    void Write(std::span<const std::uint8_t> bytes) {
        if (!WriteAll(file_->Fd(), bytes))
            throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
        written_ += bytes.size();
    }

    // Ends the replacement. `held` is the content not given to Write: all of
    // it unless TakesPieces.
    void Finish(std::span<const std::uint8_t> held) {
        if (way_ == Way::Directly) return WriteDirectly(target_.path, held);
        if (way_ == Way::InPlace) return Overwrite(target_, held, options_.durable);
        Write(held);
        const struct stat& existing = target_.status;
        if (replacing_) {
            if (!TakeOwner(file_->Fd(), existing) && keep_) return OverwriteWithNewFile(held);
            if (::fchmod(file_->Fd(), existing.st_mode & 07777) != 0)
                throw FileWriteError(Kind::CannotWrite, "cannot keep the mode", errno);
        }
        if (options_.durable && ::fsync(file_->Fd()) != 0)
            throw FileWriteError(Kind::CannotWrite, "cannot write", errno);

        // An unnamed file is linked in through its descriptor, so it stays
        // open until it has its name.
        if (options_.existing == ExistingFile::Refuse) {
            if (!file_->LinkAs(target_.path))
                throw FileWriteError(Kind::CannotCreate,
                                     errno == EEXIST ? "exists" : "cannot create", errno);
        } else if (!file_->RenameOver(target_.path)) {
            const int error = errno;
            // A sticky folder, for one, lets a writable file be written but not replaced.
            if (keep_ && replacing_ && (error == EPERM || error == EACCES))
                return OverwriteWithNewFile(held);
            throw FileWriteError(Kind::CannotWrite, "cannot replace", error);
        }
        if (!file_->Close()) throw FileWriteError(Kind::CannotWrite, "cannot write", errno);
        if (options_.durable) SyncFolder(dir_);
    }

  private:
    enum class Way { NewFile, InPlace, Directly };

    // Writes the content of the new file over the target itself, when the
    // new file cannot take the target's place: `held` when it is all of it,
    // else what the new file was given, read back.
    void OverwriteWithNewFile(std::span<const std::uint8_t> held) {
        if (held.size() == written_) return Overwrite(target_, held, options_.durable);
        std::vector<std::uint8_t> content(written_);
        std::size_t done = 0;
        while (done < content.size()) {
            const ssize_t got = ::pread(file_->Fd(), content.data() + done, content.size() - done,
                                        static_cast<off_t>(done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0)
                throw FileWriteError(Kind::CannotWrite, "cannot write", got < 0 ? errno : EIO);
            done += static_cast<std::size_t>(got);
        }
        Overwrite(target_, content, options_.durable);
    }

    std::string path_;
    ReplaceOptions options_;
    bool keep_;
    Target target_;
    bool replacing_ = false;
    Way way_ = Way::NewFile;
    std::string dir_;
    std::optional<NewFile> file_;
    std::size_t written_ = 0;
};

// The content as a maker puts it: held in memory until there is enough of it
// to be worth a write, then, where the replacement takes pieces, given to it
// a piece at a time, the same memory holding each piece in turn.
class HeldContent final : public ContentSink {
  public:
    HeldContent(Replacement& replacement, std::size_t piece)
        : replacement_(replacement), piece_(std::max<std::size_t>(piece, 1)) {}

    void Put(std::span<const std::uint8_t> bytes) override {
        held_.insert(held_.end(), bytes.begin(), bytes.end());
        if (held_.size() < piece_) return;
        if (!planned_) Plan();
        if (replacement_.TakesPieces()) {
            replacement_.Write(held_);
            held_.clear();
        }
    }

    // Ends the replacement with what is held.
    void Finish() {
        if (!planned_) Plan();
        replacement_.Finish(held_);
    }

  private:
    void Plan() {
        planned_ = true;
        replacement_.Plan();
    }

    Replacement& replacement_;
    std::size_t piece_;
    bool planned_ = false;
    std::vector<std::uint8_t> held_;
};

}  // namespace

void ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                 const ReplaceOptions& options) {
    Replacement replacement(path, options);
    replacement.Plan();
    replacement.Finish(bytes);
}

void ReplaceFile(const std::string& path, const std::function<void(ContentSink&)>& make,
                 const ReplaceOptions& options) {
    Replacement replacement(path, options);
    HeldContent content(replacement, options.piece);
    make(content);
    content.Finish();
}

void RemoveTemporaryFileOnSignal() {
    for (const int signal : EndingSignals) {
        struct sigaction current {};
        // A signal the process was started to ignore stays ignored.
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = RemovePendingAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace glyph
