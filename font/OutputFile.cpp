#include "font/OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <span>
#include <string>

#include "font/Failure.h"
#include "font/FontFolder.h"
#include "glyph/FileHead.h"
#include "glyph/FileReplacement.h"

namespace font {
namespace {

namespace fs = std::filesystem;

Failure Described(const fs::path& path, const glyph::FileWriteError& error) {
    std::string line = Display(path) + ": " + error.Step();
    if (error.GetKind() != glyph::FileWriteError::Kind::NotRegularFile)
        line += ": " + glyph::SystemErrorText(error.Error());
    return Failure(line);
}

void WriteToStandardOutput(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0)
            throw Failure("standard output: cannot write: " +
                          glyph::SystemErrorText(wrote == 0 ? EIO : errno));
        bytes = bytes.subspan(static_cast<std::size_t>(wrote));
    }
}

}  // namespace

void WriteOutputFile(const fs::path& path, std::span<const std::uint8_t> bytes, bool durable) {
    if (path == "-") return WriteToStandardOutput(bytes);
    try {
        glyph::ReplaceFile(path.string(), bytes,
                           {.existing = glyph::ExistingFile::Keep,
                            .special = glyph::SpecialFile::WriteDirectly,
                            .durable = durable});
    } catch (const glyph::FileWriteError& error) {
        throw Described(path, error);
    }
}

void WriteOutputFile(const fs::path& path, std::string_view text, bool durable) {
    WriteOutputFile(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), durable);
}

void WriteOutputFile(const fs::path& path, const std::function<void(TextOut&)>& make,
                     bool durable) {
    if (path == "-") {
        TextOut whole;
        make(whole);
        return WriteOutputFile(path, whole.Finish(), durable);
    }
    try {
        glyph::ReplaceFile(path.string(),
                           [&](glyph::ContentSink& sink) {
                               TextOut text(sink);
                               make(text);
                               text.Finish();
                           },
                           {.existing = glyph::ExistingFile::Keep,
                            .special = glyph::SpecialFile::WriteDirectly,
                            .durable = durable});
    } catch (const glyph::FileWriteError& error) {
        throw Described(path, error);
    }
}

GlyphFolderWrite::GlyphFolderWrite(const fs::path& dir, const std::function<void()>& onWait)
    : dir_(dir) {
    try {
        update_ = std::make_unique<glyph::FolderUpdate>(dir.string(), onWait);
    } catch (const glyph::FolderUpdateError& error) {
        Fail(error);
    }
}

void GlyphFolderWrite::Add(const std::string& name, std::span<const std::uint8_t> bytes,
                           const struct stat* replaced) {
    try {
        update_->Stage(name, bytes, replaced);
    } catch (const glyph::FolderUpdateError& error) {
        Fail(error);
    }
}

bool GlyphFolderWrite::Commit() {
    try {
        return update_->Commit();
    } catch (const glyph::FolderUpdateError& error) {
        Fail(error);
    }
}

void GlyphFolderWrite::Fail(const glyph::FolderUpdateError& error) const {
    const fs::path about = error.Name().empty() ? dir_ : dir_ / error.Name();
    if (error.Error() == EEXIST && !error.Name().empty())
        throw Failure(Display(about) + ": appeared during the import; --force overwrites it");
    std::string line = Display(about) + ": " + error.Step();
    if (error.Error() != 0) line += ": " + glyph::SystemErrorText(error.Error());
    throw Failure(line);
}

namespace {

// The output's identity when it exists as a regular file: anything else
// (standard output, a file not yet made, a FIFO) cannot be an input.
std::optional<struct stat> ExistingOutput(const fs::path& output) {
    struct stat out {};
    if (output == "-" || ::stat(output.c_str(), &out) != 0 || !S_ISREG(out.st_mode))
        return std::nullopt;
    return out;
}

}  // namespace

void RefuseOutputOverInput(const fs::path& output, const fs::path& input) {
    const std::optional<struct stat> out = ExistingOutput(output);
    struct stat in {};
    if (out && ::stat(input.c_str(), &in) == 0 && in.st_dev == out->st_dev &&
        in.st_ino == out->st_ino)
        throw Failure(Display(output) + ": is " + Display(input) +
                      ", which this command reads; write elsewhere");
}

void RefuseOutputOverInput(const fs::path& output, const FolderListing& listing) {
    const std::optional<struct stat> existing = ExistingOutput(output);
    if (!existing) return;
    const struct stat& out = *existing;
    struct stat folder {};
    const bool sameDevice = ::fstat(listing.Fd(), &folder) == 0 && folder.st_dev == out.st_dev;
    const auto refuse = [&](const FolderEntry& entry) {
        throw Failure(Display(output) + ": is " + Display(listing.PathOf(entry)) +
                      ", which this command reads; write elsewhere");
    };
    for (const FolderEntry& entry : listing.files) {
        // The listing names the file of a plain entry; a link or an entry of
        // unknown type is followed to its file.
        if (entry.type == DT_REG) {
            if (sameDevice && entry.inode == out.st_ino) refuse(entry);
            continue;
        }
        struct stat in {};
        if (::fstatat(listing.Fd(), entry.name.c_str(), &in, 0) == 0 && in.st_dev == out.st_dev &&
            in.st_ino == out.st_ino)
            refuse(entry);
    }
}

}  // namespace font
