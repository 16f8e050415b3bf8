#include "glyph/Leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>

#include "glyph/UniqueFd.h"

namespace glyph {
namespace {

constexpr std::string_view Prefix = ".~";
constexpr std::size_t Digits = 12;
constexpr std::string_view TemporarySuffix = ".tmp";
constexpr std::string_view StagingSuffix = ".staging";

std::string RandomName(std::string_view suffix) {
    static std::mt19937_64 random{std::random_device{}()};
    char digits[Digits + 1];
    std::snprintf(digits, sizeof digits, "%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    return std::string(Prefix) + digits + std::string(suffix);
}

std::string_view SuffixOf(LeftoverKind kind) {
    return kind == LeftoverKind::TemporaryFile ? TemporarySuffix : StagingSuffix;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirStream = std::unique_ptr<DIR, DirCloser>;

// A stream over the folder's entries that leaves `dirFd` open.
DirStream Entries(int dirFd) {
    const int copy = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) return nullptr;
    DirStream stream(::fdopendir(copy));
    if (!stream) {
        ::close(copy);
        return nullptr;
    }
    ::rewinddir(stream.get());
    return stream;
}

// The entry opened and locked, when it is of the kind its name says and
// nobody else holds it; an invalid descriptor otherwise.
UniqueFd Claim(int dirFd, const char* name, LeftoverKind kind) {
    const bool folder = kind == LeftoverKind::StagingFolder;
    // Looked at before it is opened: opening a device can act on it.
    struct stat status {};
    if (::fstatat(dirFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !(folder ? S_ISDIR(status.st_mode) : S_ISREG(status.st_mode)))
        return UniqueFd();
    UniqueFd fd(::openat(
        dirFd, name,
        O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (folder ? O_DIRECTORY : 0)));
    struct stat opened {};
    if (!fd.Valid() || ::fstat(fd.Get(), &opened) != 0 || opened.st_ino != status.st_ino ||
        ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
        return UniqueFd();
    return fd;
}

// Empties a staging folder of its files and removes it.
void RemoveStagingFolder(int dirFd, const char* name, int folderFd) {
    if (const DirStream entries = Entries(folderFd)) {
        while (const dirent* entry = ::readdir(entries.get())) {
            const std::string_view leaf = entry->d_name;
            if (leaf != "." && leaf != "..") ::unlinkat(folderFd, entry->d_name, 0);
        }
    }
    ::unlinkat(dirFd, name, AT_REMOVEDIR);
}

}  // namespace

std::string TemporaryFileName() {
    return RandomName(TemporarySuffix);
}

std::string StagingFolderName() {
    return RandomName(StagingSuffix);
}

bool IsLeftoverName(std::string_view name, LeftoverKind kind) {
    const std::string_view suffix = SuffixOf(kind);
    if (name.size() != Prefix.size() + Digits + suffix.size() || !name.starts_with(Prefix) ||
        !name.ends_with(suffix))
        return false;
    for (const char c : name.substr(Prefix.size(), Digits))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::vector<Leftover> FindLeftovers(int dirFd) {
    std::vector<std::string> names;
    if (const DirStream entries = Entries(dirFd)) {
        while (const dirent* entry = ::readdir(entries.get()))
            if (std::string_view(entry->d_name).starts_with(Prefix))
                names.emplace_back(entry->d_name);
    }
    return FindLeftovers(dirFd, names);
}

std::vector<Leftover> FindLeftovers(int dirFd, std::span<const std::string> names) {
    std::vector<Leftover> found;
    for (const std::string& name : names)
        for (const LeftoverKind kind : {LeftoverKind::TemporaryFile, LeftoverKind::StagingFolder})
            if (IsLeftoverName(name, kind) && Claim(dirFd, name.c_str(), kind).Valid())
                found.push_back({name, kind});
    return found;
}

void RemoveLeftovers(int dirFd) {
    for (const Leftover& leftover : FindLeftovers(dirFd)) {
        // Held while it goes, so that it cannot be taken up again meanwhile.
        const UniqueFd held = Claim(dirFd, leftover.name.c_str(), leftover.kind);
        if (!held.Valid()) continue;
        if (leftover.kind == LeftoverKind::TemporaryFile)
            ::unlinkat(dirFd, leftover.name.c_str(), 0);
        else
            RemoveStagingFolder(dirFd, leftover.name.c_str(), held.Get());
    }
}

}  // namespace glyph
