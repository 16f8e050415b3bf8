#include "font/FontFolder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <system_error>

#include "font/Failure.h"
#include "font/GlyphFileInspection.h"
#include "font/Unicode.h"
#include "glyph/Leftovers.h"

namespace font {

namespace fs = std::filesystem;

const Glyph* Font::Find(char32_t codePoint) const {
    const auto found =
        std::lower_bound(glyphs.begin(), glyphs.end(), codePoint,
                         [](const Glyph& glyph, char32_t cp) { return glyph.codePoint < cp; });
    return found != glyphs.end() && found->codePoint == codePoint ? &*found : nullptr;
}

std::string Display(const fs::path& path) {
    return Printable(path.string());
}

std::vector<fs::path> GlyphFilesIn(const fs::path& dir) {
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator entry(dir, error); !error && entry != fs::directory_iterator();
         entry.increment(error))
        if (entry->path().filename().string().ends_with(".dat")) files.push_back(entry->path());
    if (error) throw Failure(Display(dir) + ": cannot read the folder: " + error.message());
    std::sort(files.begin(), files.end());
    return files;
}

namespace {

// About as many entries as the open folder holds, or more: its size in bytes
// over the fewest bytes a file system counts an entry (tmpfs counts 20, ext4
// whole blocks of them). A list reserved by it never moves while it grows,
// and the pages of it never written are never touched.
std::size_t EntriesBound(DIR* folder) {
    constexpr std::size_t MaxReserved = 1 << 18;
    struct stat status {};
    if (::fstat(::dirfd(folder), &status) != 0 || status.st_size <= 0) return 0;
    return std::min(static_cast<std::size_t>(status.st_size) / 16, MaxReserved);
}

}  // namespace

FolderListing ListFontFolder(const fs::path& dir, std::error_code& error) {
    FolderListing listing;
    listing.dir = dir;
    error.clear();
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr) {
        error.assign(errno, std::system_category());
        return listing;
    }
    listing.folder_.reset(folder);

    std::vector<FolderEntry> named;
    named.reserve(EntriesBound(folder));
    errno = 0;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.ends_with(".dat")) {
            if (glyph::IsLeftoverName(name, glyph::LeftoverKind::TemporaryFile) ||
                glyph::IsLeftoverName(name, glyph::LeftoverKind::StagingFolder))
                listing.inProgressNames.emplace_back(name);
            continue;
        }
        FolderEntry listed{std::string(name), entry->d_ino, 0, entry->d_type};
        if (const auto codePoint = CodePointOfFileName(name)) {
            listed.codePoint = *codePoint;
            named.push_back(std::move(listed));
        } else {
            listing.problems.push_back(
                {listing.PathOf(listed),
                 DecodeUtf8(name) ? "the name is neither U+XXXX.dat nor one character and .dat"
                                  : "the name is not valid UTF-8"});
            listing.refused.push_back(std::move(listed));
        }
    }
    if (errno != 0) {
        error.assign(errno, std::system_category());
        return FolderListing{};
    }
    // Of two names for one character, the smaller one holds it.
    std::sort(named.begin(), named.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return a.codePoint != b.codePoint ? a.codePoint < b.codePoint : a.name < b.name;
    });
    // The kept entries close up in place: no second list of them is made.
    auto kept = named.begin();
    for (auto entry = named.begin(); entry != named.end(); ++entry) {
        if (kept != named.begin() && std::prev(kept)->codePoint == entry->codePoint) {
            listing.problems.push_back(
                {listing.PathOf(*entry), "holds " + DescribeCharacter(entry->codePoint) + ", as " +
                                             Display(listing.PathOf(*std::prev(kept))) + " does"});
            listing.refused.push_back(std::move(*entry));
            continue;
        }
        if (kept != entry) *kept = std::move(*entry);
        ++kept;
    }
    named.erase(kept, named.end());
    listing.files = std::move(named);
    return listing;
}

FolderListing ListFontFolder(const fs::path& dir) {
    std::error_code error;
    FolderListing listing = ListFontFolder(dir, error);
    if (error) throw Failure(Display(dir) + ": cannot read the folder: " + error.message());
    return listing;
}

Font LoadFontFolder(const FolderListing& listing) {
    std::vector<FileProblem> problems = listing.problems;
    Font font;
    font.glyphs.reserve(listing.files.size());
    InspectGlyphFilesAt(
        listing, listing.files, [&](const FolderEntry& entry, GlyphFileInspection&& inspection) {
            if (inspection.glyph)
                font.glyphs.push_back(*inspection.glyph);
            else
                problems.push_back({listing.PathOf(entry), inspection.FirstError()});
        });
    if (!problems.empty()) {
        std::sort(problems.begin(), problems.end(),
                  [](const FileProblem& a, const FileProblem& b) { return a.path < b.path; });
        std::vector<std::string> lines;
        for (const FileProblem& problem : problems)
            lines.push_back(Display(problem.path) + ": " + problem.reason);
        throw Failure(lines);
    }
    return font;
}

Font LoadFontFolder(const fs::path& dir) {
    return LoadFontFolder(ListFontFolder(dir));
}

}  // namespace font
