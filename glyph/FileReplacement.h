#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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
    // Content that a maker puts is held in memory up to this many bytes
    // before anything is written; past it, a new file beside the target
    // takes it a piece of this size at a time.
    std::size_t piece = std::size_t{64} << 10;
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

// Where the content of a file goes as a maker makes it.
class ContentSink {
  public:
    virtual void Put(std::span<const std::uint8_t> bytes) = 0;

  protected:
    ~ContentSink() = default;
};

// Writes what `make` puts in its sink as the whole content of `path`,
// exactly as ReplaceFile of all those bytes at once would, so that a large
// file need never be whole in memory. Nothing is looked at or written
// before `make` has put `options.piece` bytes; from there, a new file beside
// the target takes the content as it comes. When the target must be written
// in place or directly (a FIFO, a file with a second name), the content is
// held until `make` is done. An exception from `make` leaves every file as
// it was, and no temporary file.
void ReplaceFile(const std::string& path, const std::function<void(ContentSink&)>& make,
                 const ReplaceOptions& options = {});

// Makes SIGINT, SIGTERM and SIGHUP remove a temporary file that is being
// written, and then end the process as the signal would have. For programs
// that do not handle these signals themselves.
void RemoveTemporaryFileOnSignal();

}  // namespace glyph
