#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "font/FontFolder.h"
#include "font/TextOut.h"
#include "glyph/FolderUpdate.h"

namespace font {

// Writes `bytes` as the whole content of `path` so that no failure leaves a
// half-written file or harms an existing one, and a replaced file keeps its
// owner, group, mode and other names. A link is followed, also when it
// dangles; a FIFO or a device is written to directly; a folder and a file
// without any write bit are refused. With `durable`, the data reaches the
// disk before the file takes its name. "-" writes to standard output. Raises
// Failure naming the path.
void WriteOutputFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                     bool durable = true);
void WriteOutputFile(const std::filesystem::path& path, std::string_view text, bool durable = true);
// The same for the text `make` gives a TextOut as it makes it: past its
// first pieces, the file takes it a piece at a time (see glyph::ReplaceFile).
// Standard output takes the whole text once it is made.
void WriteOutputFile(const std::filesystem::path& path, const std::function<void(TextOut&)>& make,
                     bool durable = true);

// The glyph files of an import: written as plain files, never through a
// link, into a folder that they enter all together or not at all, while no
// other import changes it (see glyph::FolderUpdate). Each step raises
// Failure naming the file, with the folder as it was.
class GlyphFolderWrite {
  public:
    // Locks the folder `dir`, calling `onWait` when this must wait for
    // another import into it, and removes what killed runs left in it.
    GlyphFolderWrite(const std::filesystem::path& dir, const std::function<void()>& onWait);

    // The folder, or -1 when it does not exist yet.
    int Fd() const { return update_->Fd(); }

    // Makes room for `files` glyph files to add.
    void Reserve(std::size_t files) { update_->Reserve(files); }

    // Adds the glyph file `name`: a new name when `replaced` is null (a file
    // that takes it meanwhile stops the import), else over the regular file
    // of that lstat.
    void Add(const std::string& name, std::span<const std::uint8_t> bytes,
             const struct stat* replaced);

    // Gives every file its name; false, with nothing written, when the folder
    // appeared meanwhile, so that the import must be planned again.
    bool Commit();

  private:
    [[noreturn]] void Fail(const glyph::FolderUpdateError& error) const;

    std::filesystem::path dir_;
    std::unique_ptr<glyph::FolderUpdate> update_;
};

// Raises Failure when `output` names one of the glyph files of `listing`
// (under any name), so that a command cannot write over what it reads.
void RefuseOutputOverInput(const std::filesystem::path& output, const FolderListing& listing);
// The same for a font file that a command reads.
void RefuseOutputOverInput(const std::filesystem::path& output, const std::filesystem::path& input);

}  // namespace font
