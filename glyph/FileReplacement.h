#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace glyph {

// What becomes of a file that is already at the path.
enum class ExistingFile {
    // It stays the same file: a symbolic link is followed, and the target is
    // replaced by rename only when the new file can take its owner, group and
    // mode and it has no second name; otherwise it is overwritten in place.
    Keep,
    // It is replaced by a new plain file, and a symbolic link there is
    // replaced rather than followed.
    Replace,
    // The path must be free: a file there, even one that appears while the new
    // one is written, fails the write with EEXIST and is left alone.
    Refuse,
};

// What is done with a FIFO or a device at the path (after links, with Keep).
enum class SpecialFile { Refuse, WriteDirectly };

struct ReplaceOptions {
    ExistingFile existing = ExistingFile::Keep;
    SpecialFile special = SpecialFile::Refuse;
    // The data reaches the disk before the new file takes the name.
    bool durable = true;
};

// Why a file could not be written. `Step` reads after the path ("cannot
// write"); `Error` is the errno value, 0 for NotRegularFile.
class FileWriteError : public std::runtime_error {
  public:
    enum class Kind { NotRegularFile, CannotCreate, CannotWrite };
    FileWriteError(Kind kind, const std::string& step, int error)
        : std::runtime_error(step), kind_(kind), error_(error) {}
    Kind GetKind() const { return kind_; }
    std::string Step() const { return what(); }
    int Error() const { return error_; }

  private:
    Kind kind_;
    int error_;
};

// Writes `bytes` as the whole content of the file at `path`, so that no
// failure leaves a half-written file or harms the one that was there. The new
// bytes go to a file beside the target, which takes the name when it is
// whole. That file is unnamed (O_TMPFILE) where the file system allows; it
// has a hidden temporary name (Leftovers.h) while it is written where the
// file system does not, and, when it replaces a file, for the moment between
// being linked in and renamed over the target. A SIGKILL in that moment
// leaves it; it is locked while it is in use, so that `glyphtool check` can
// name it and the next import into the folder remove it. A folder, and a
// file without any write bit, are refused. A new file gets the mode the umask
// leaves; a replaced one keeps its mode.
void ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                 const ReplaceOptions& options = {});

// Makes SIGINT, SIGTERM and SIGHUP remove a temporary file that is being
// written, and then end the process as the signal would have. For programs
// that do not handle these signals themselves.
void RemoveTemporaryFileOnSignal();

}  // namespace glyph
