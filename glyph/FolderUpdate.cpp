#include "glyph/FolderUpdate.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "glyph/FileWriting.h"
#include "glyph/Leftovers.h"

namespace glyph {
namespace {

using Kind = FileWriteError::Kind;

[[noreturn]] void Fail(const std::string& name, Kind kind, const char* step, int error) {
    throw FolderUpdateError(name, kind, step, error);
}

void FailIfInterrupted(const std::string& name) {
    if (DeferredSignals::Pending()) Fail(name, Kind::CannotWrite, "interrupted", EINTR);
}

// Locks the folder against other updates, waiting for the one that holds it.
// A file system that cannot lock a folder leaves it unlocked.
void Lock(int fd, const std::function<void()>& onWait) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
    if (onWait) onWait();
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return;
        FailIfInterrupted("");
    }
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The old bytes of a file that is to be written in place, for undoing it.
std::vector<std::uint8_t> ReadWhole(int fd, off_t size) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t got =
            ::pread(fd, bytes.data() + have, bytes.size() - have, static_cast<off_t>(have));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);
    return bytes;
}

}  // namespace

FolderUpdate::FolderUpdate(std::string dir, const std::function<void()>& onWait)
    : dir_(std::move(dir)) {
    try {
        if (dir_.empty()) Fail("", Kind::CannotCreate, "cannot create the folder", ENOENT);
        OpenExisting(onWait);
        if (!fd_.Valid()) PrepareNewFolder();
    } catch (...) {
        Discard();
        throw;
    }
}

FolderUpdate::~FolderUpdate() {
    if (!committed_) Discard();
}

void FolderUpdate::OpenExisting(const std::function<void()>& onWait) {
    for (;;) {
        fd_.Reset(::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fd_.Valid()) {
            const int error = errno;
            if (error == ENOENT) return;
            struct stat status {};
            if (error == ENOTDIR && ::stat(dir_.c_str(), &status) == 0)
                Fail("", Kind::NotRegularFile, "exists and is not a folder", 0);
            Fail("", Kind::CannotCreate, "cannot open the folder", error);
        }
        Lock(fd_.Get(), onWait);
        // The folder may have been replaced or removed while this waited.
        struct stat locked {
        }, now{};
        if (::fstat(fd_.Get(), &locked) == 0 && ::stat(dir_.c_str(), &now) == 0 &&
            SameFile(locked, now))
            break;
    }
    RemoveLeftovers(fd_.Get());
}

void FolderUpdate::PrepareNewFolder() {
    std::string path = dir_;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const std::size_t slash = path.rfind('/');
    const std::string parent = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    leaf_ = slash == std::string::npos ? path : path.substr(slash + 1);
    parentFd_.Reset(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parentFd_.Valid() && errno == ENOENT) {
        MakeParents(parent);
        parentFd_.Reset(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    if (!parentFd_.Valid()) Fail("", Kind::CannotCreate, "cannot create the folder", errno);
    RemoveLeftovers(parentFd_.Get());
}

void FolderUpdate::MakeParents(const std::string& parent) {
    for (std::size_t end = parent.find('/', 1);; end = parent.find('/', end + 1)) {
        const std::string prefix = parent.substr(0, end);
        if (::mkdir(prefix.c_str(), 0777) == 0)
            madeParents_.push_back(prefix);
        else if (errno != EEXIST)
            Fail("", Kind::CannotCreate, "cannot create the folder", errno);
        if (end == std::string::npos) return;
    }
}

void FolderUpdate::MakeStagingFolder() {
    const int parent = StagingParent();
    const char* const step =
        fd_.Valid() ? "cannot write into the folder" : "cannot create the folder";
    for (;;) {
        FailIfInterrupted("");
        const std::string name = StagingFolderName();
        if (::mkdirat(parent, name.c_str(), 0777) != 0) {
            if (errno == EEXIST) continue;
            Fail("", Kind::CannotCreate, step, errno);
        }
        // Until it is locked, a cleaner of leftovers may take it for one and remove it.
        UniqueFd fd(
            ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd.Valid() && errno == ENOENT) continue;
        if (!fd.Valid()) Fail("", Kind::CannotCreate, step, errno);
        ::flock(fd.Get(), LOCK_EX);
        struct stat status {};
        if (::fstat(fd.Get(), &status) == 0 && status.st_nlink == 0) continue;
        stagingName_ = name;
        stagingFd_ = std::move(fd);
        return;
    }
}

void FolderUpdate::Stage(const std::string& name, std::span<const std::uint8_t> bytes,
                         const struct stat* replaced) {
    FailIfInterrupted(name);
    // Made with the first file, so that an update that stops before leaves the folder untouched.
    if (!stagingFd_.Valid()) MakeStagingFolder();
    Entry& entry = entries_.emplace_back();
    entry.name = name;
    entry.way = replaced != nullptr && fd_.Valid() ? Way::Exchange : Way::New;
    if (entry.way == Way::Exchange) {
        entry.replaced = std::make_unique<Replacement>();
        entry.replaced->status = *replaced;
        // Only a privileged process can give a new file another user's name.
        if (user_ != 0 && replaced->st_uid != user_) return StageInPlace(entry, bytes);
    }
    UniqueFd fd(::openat(stagingFd_.Get(), name.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
    if (!fd.Valid()) Fail(name, Kind::CannotCreate, "cannot create", errno);
    entry.staged = true;
    if (!WriteAll(fd.Get(), bytes)) Fail(name, Kind::CannotWrite, "cannot write", errno);
    if (entry.way == Way::Exchange) {
        if (!identity_) {
            struct stat mine {};
            if (::fstat(fd.Get(), &mine) != 0) Fail(name, Kind::CannotWrite, "cannot write", errno);
            identity_ = {mine.st_uid, mine.st_gid, mine.st_mode};
        }
        const bool owned = identity_->uid == replaced->st_uid && identity_->gid == replaced->st_gid;
        if (!owned && !TakeOwner(fd.Get(), *replaced)) return StageInPlace(entry, bytes);
        const mode_t mode = replaced->st_mode & 07777;
        if ((!owned || (identity_->mode & 07777) != mode) && ::fchmod(fd.Get(), mode) != 0)
            Fail(name, Kind::CannotWrite, "cannot keep the mode", errno);
    }
    if (!fd.Close()) Fail(name, Kind::CannotWrite, "cannot write", errno);
}

// A file whose owner a new file cannot take is written over itself, so that
// it keeps them; its other names would change with it, so it must have none.
void FolderUpdate::StageInPlace(Entry& entry, std::span<const std::uint8_t> bytes) {
    const std::string& name = entry.name;
    if (entry.replaced->status.st_nlink > 1)
        Fail(name, Kind::CannotWrite,
             "is another user's file with a second name, which a new file cannot replace "
             "keeping its owner",
             0);
    const UniqueFd fd(::openat(fd_.Get(), name.c_str(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) Fail(name, Kind::CannotCreate, "cannot open", errno);
    struct stat now {};
    if (::fstat(fd.Get(), &now) != 0) Fail(name, Kind::CannotCreate, "cannot open", errno);
    if (!SameFile(now, entry.replaced->status))
        Fail(name, Kind::CannotCreate, "cannot open", EAGAIN);
    entry.replaced->oldBytes = ReadWhole(fd.Get(), now.st_size);
    entry.replaced->bytes.assign(bytes.begin(), bytes.end());
    entry.way = Way::InPlace;
}

bool FolderUpdate::Commit() {
    FailIfInterrupted("");
    if (!stagingFd_.Valid()) MakeStagingFolder();
    if (!fd_.Valid()) {
        const int parent = parentFd_.Get();
        int renamed =
            ::renameat2(parent, stagingName_.c_str(), parent, leaf_.c_str(), RENAME_NOREPLACE);
        // Without RENAME_NOREPLACE a folder that appeared meanwhile is replaced only when empty.
        if (renamed != 0 && errno == EINVAL)
            renamed = ::renameat(parent, stagingName_.c_str(), parent, leaf_.c_str());
        if (renamed != 0) {
            int error = errno;
            struct stat status {};
            if (error == EEXIST || error == ENOTEMPTY) {
                if (::fstatat(parent, leaf_.c_str(), &status, 0) == 0 && S_ISDIR(status.st_mode))
                    return false;
                error = EEXIST;  // a file, or a link to nothing
            }
            Fail("", Kind::CannotCreate, "cannot create the folder", error);
        }
        committed_ = true;
        return true;
    }
    // Files written in place go last: they cannot be undone by a rename.
    std::vector<Entry*> order;
    for (Entry& entry : entries_)
        if (entry.way != Way::InPlace) order.push_back(&entry);
    for (Entry& entry : entries_)
        if (entry.way == Way::InPlace) order.push_back(&entry);
    std::size_t done = 0;
    try {
        for (; done < order.size(); ++done) {
            FailIfInterrupted(order[done]->name);
            TakeName(*order[done]);
        }
    } catch (...) {
        while (done > 0) Undo(*order[--done]);
        throw;
    }
    committed_ = true;
    for (const Entry& entry : entries_) RemoveStaged(entry);
    ::unlinkat(fd_.Get(), stagingName_.c_str(), AT_REMOVEDIR);
    return true;
}

void FolderUpdate::TakeName(Entry& entry) {
    const char* const name = entry.name.c_str();
    const int staging = stagingFd_.Get();
    const int folder = fd_.Get();
    switch (entry.way) {
        case Way::New:
            if (::renameat2(staging, name, folder, name, RENAME_NOREPLACE) != 0) {
                if (errno != EINVAL || ::linkat(staging, name, folder, name, 0) != 0)
                    Fail(entry.name, Kind::CannotCreate,
                         errno == EEXIST ? "exists" : "cannot create", errno);
                ::unlinkat(staging, name, 0);
            }
            entry.staged = false;
            return;
        case Way::Exchange:
            // The old file goes into the staging folder, from where it can come back.
            if (::renameat2(staging, name, folder, name, RENAME_EXCHANGE) == 0) return;
            if (errno != EINVAL) Fail(entry.name, Kind::CannotWrite, "cannot replace", errno);
            if (::renameat(folder, name, staging, ("~" + entry.name).c_str()) != 0)
                Fail(entry.name, Kind::CannotWrite, "cannot replace", errno);
            entry.renamedOld = true;
            if (::renameat(staging, name, folder, name) != 0) {
                const int error = errno;
                ::renameat(staging, ("~" + entry.name).c_str(), folder, name);
                entry.renamedOld = false;
                Fail(entry.name, Kind::CannotWrite, "cannot replace", error);
            }
            return;
        case Way::InPlace:
            try {
                OverwriteInPlace(folder, name, entry.replaced->status, entry.replaced->bytes,
                                 false);
            } catch (const FileWriteError& error) {
                Fail(entry.name, error.GetKind(), error.Step().c_str(), error.Error());
            }
            return;
    }
}

// Puts back what TakeName did, as far as it can.
void FolderUpdate::Undo(Entry& entry) {
    const char* const name = entry.name.c_str();
    const int staging = stagingFd_.Get();
    const int folder = fd_.Get();
    switch (entry.way) {
        case Way::New:
            if (::renameat(folder, name, staging, name) == 0) entry.staged = true;
            return;
        case Way::Exchange:
            if (!entry.renamedOld) {
                ::renameat2(staging, name, folder, name, RENAME_EXCHANGE);
            } else if (::renameat(folder, name, staging, name) == 0) {
                ::renameat(staging, ("~" + entry.name).c_str(), folder, name);
                entry.renamedOld = false;
            }
            return;
        case Way::InPlace:
            try {
                OverwriteInPlace(folder, name, entry.replaced->status, entry.replaced->oldBytes,
                                 false);
            } catch (const FileWriteError&) {
                // Nothing more can be done for it.
            }
            return;
    }
}

// Removes what an entry has in the staging folder: the new file that did
// not take its name, or the old file it replaced.
void FolderUpdate::RemoveStaged(const Entry& entry) {
    if (entry.staged) ::unlinkat(stagingFd_.Get(), entry.name.c_str(), 0);
    if (entry.renamedOld) ::unlinkat(stagingFd_.Get(), ("~" + entry.name).c_str(), 0);
}

void FolderUpdate::Discard() {
    if (stagingFd_.Valid()) {
        for (const Entry& entry : entries_) RemoveStaged(entry);
        ::unlinkat(StagingParent(), stagingName_.c_str(), AT_REMOVEDIR);
        stagingFd_.Reset();
    }
    parentFd_.Reset();
    for (auto made = madeParents_.rbegin(); made != madeParents_.rend(); ++made)
        ::rmdir(made->c_str());
    madeParents_.clear();
}

}  // namespace glyph
