#include "font/FontFolder.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "font/Failure.h"
#include "font/GlyphFileInspection.h"
#include "font/Unicode.h"

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

FolderListing ListFontFolder(const fs::path& dir) {
    FolderListing listing;
    std::map<char32_t, fs::path> owners;
    for (const fs::path& file : GlyphFilesIn(dir)) {
        const std::string name = file.filename().string();
        const auto codePoint = CodePointOfFileName(name);
        if (!codePoint) {
            listing.problems.push_back(
                {file, DecodeUtf8(name)
                           ? "the name is neither U+XXXX.dat nor one character and .dat"
                           : "the name is not valid UTF-8"});
            continue;
        }
        const auto [owner, first] = owners.emplace(*codePoint, file);
        if (!first) {
            listing.problems.push_back({file, "holds " + DescribeCharacter(*codePoint) + ", as " +
                                                  Display(owner->second) + " does"});
            continue;
        }
        listing.files.emplace_back(file, *codePoint);
    }
    return listing;
}

Font LoadFontFolder(const fs::path& dir) {
    const FolderListing listing = ListFontFolder(dir);
    std::vector<FileProblem> problems = listing.problems;
    Font font;
    for (const auto& [file, codePoint] : listing.files) {
        GlyphFileInspection inspection = InspectGlyphFile(file, codePoint);
        if (inspection.glyph)
            font.glyphs.push_back(*inspection.glyph);
        else
            problems.push_back({file, inspection.FirstError()});
    }
    if (!problems.empty()) {
        std::sort(problems.begin(), problems.end(),
                  [](const FileProblem& a, const FileProblem& b) { return a.path < b.path; });
        std::vector<std::string> lines;
        for (const FileProblem& problem : problems)
            lines.push_back(Display(problem.path) + ": " + problem.reason);
        throw Failure(lines);
    }
    std::sort(font.glyphs.begin(), font.glyphs.end(),
              [](const Glyph& a, const Glyph& b) { return a.codePoint < b.codePoint; });
    return font;
}

}  // namespace font
