#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "glyph/DeferredSignals.h"
#include "glyph/FileReplacement.h"
#include "glyph/UniqueFd.h"

namespace glyph {

// Why a folder update failed. `Name` is the file it is about, empty when it
// is about the folder itself; `Error` is 0 when no system call failed.
class FolderUpdateError : public FileWriteError {
  public:
    FolderUpdateError(std::string name, Kind kind, const std::string& step, int error)
        : FileWriteError(kind, step, error), name_(std::move(name)) {}
    const std::string& Name() const { return name_; }

  private:
    std::string name_;
};

// New files for one folder that take their names all together or not at
// all. Each file is written whole into a hidden staging folder on the same
// file system first: inside the folder, or beside it when the folder does
// not exist yet, in which case the staging folder becomes the folder. Only
// then do the files take their names, one rename each; a failure there puts
// back every file it had moved. A replaced file that the new one cannot
// replace while keeping its owner and group (another user's file, or one in
// a sticky folder) is overwritten in place instead, its old bytes kept until
// the end. SIGINT, SIGTERM and SIGHUP undo the update before they end the
// process; a SIGKILL leaves the staging folder, which the next update of the
// folder removes, and, while the files take their names, the folder half
// updated.
//
// An update locks the folder (flock) against every other update of it, for
// its whole life; on a file system that cannot lock a folder it goes on
// without the lock. Nothing is durable: the files need not reach the disk
// before they take their names.
class FolderUpdate {
  public:
    // Locks `dir`, waiting for the update that holds it (after calling
    // `onWait`), and removes what killed updates left in it. A folder that
    // does not exist yet is made, with any missing parents, at Commit.
    // Raises FolderUpdateError.
    FolderUpdate(std::string dir, const std::function<void()>& onWait);
    FolderUpdate(const FolderUpdate&) = delete;
    FolderUpdate& operator=(const FolderUpdate&) = delete;
    // Discards what is staged, and the parents it made, unless committed.
    ~FolderUpdate();

    // The folder, or -1 when it does not exist yet.
    int Fd() const { return fd_.Get(); }

    // Stages `bytes` as the whole content of `name`. `replaced` is the lstat
    // of the regular file that has the name now, or null when the name must
    // be free (a file that takes it meanwhile fails the commit). Raises
    // FolderUpdateError.
    void Stage(const std::string& name, std::span<const std::uint8_t> bytes,
               const struct stat* replaced);

    // Makes room for the entries of `files` files to stage.
    void Reserve(std::size_t files) { entries_.reserve(files); }

    // Gives every staged file its name. False, with nothing written, when a
    // folder that did not exist appeared meanwhile: the update must be
    // planned and made again. Raises FolderUpdateError, with the folder as it
    // was.
    bool Commit();

  private:
    using Kind = FileWriteError::Kind;
    enum class Way { New, Exchange, InPlace };
    // What an entry that replaces a file keeps of it: its lstat and, for one
    // written in place, the new and the old bytes. Kept apart, so that the
    // entries of new files, nearly all of an import, stay small.
    struct Replacement {
        struct stat status {};
        std::vector<std::uint8_t> bytes, oldBytes;  // for InPlace
    };
    struct Entry {
        std::string name;
        Way way;
        bool staged = false;      // a file of that name is in the staging folder
        bool renamedOld = false;  // Exchange without the system's exchange: the old file moved
        std::unique_ptr<Replacement> replaced;  // for Exchange and InPlace
    };
    struct NewFileIdentity {
        uid_t uid;
        gid_t gid;
        mode_t mode;
    };

    void OpenExisting(const std::function<void()>& onWait);
    void PrepareNewFolder();
    void MakeParents(const std::string& parent);
    void MakeStagingFolder();
    int StagingParent() const { return fd_.Valid() ? fd_.Get() : parentFd_.Get(); }
    void StageInPlace(Entry& entry, std::span<const std::uint8_t> bytes);
    void TakeName(Entry& entry);
    void Undo(Entry& entry);
    void RemoveStaged(const Entry& entry);
    void Discard();

    // First, so that a deferred signal is raised after everything else is undone.
    DeferredSignals signals_;
    std::string dir_;
    UniqueFd fd_;
    // Where the files are staged, and the folder that holds it.
    UniqueFd parentFd_;
    std::string stagingName_;
    UniqueFd stagingFd_;
    // When the folder is new: its name in the parent, and the parents made for it.
    std::string leaf_;
    std::vector<std::string> madeParents_;
    std::vector<Entry> entries_;
    std::optional<NewFileIdentity> identity_;
    uid_t user_ = ::geteuid();
    bool committed_ = false;
};

}  // namespace glyph
