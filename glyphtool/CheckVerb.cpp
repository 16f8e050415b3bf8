#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>

#include "font/FontFolder.h"
#include "font/GlyphFileInspection.h"
#include "glyph/Leftovers.h"
#include "glyphtool/Verb.h"

namespace {

namespace fs = std::filesystem;
using glyph::Severity;

struct Tally {
    int files = 0;
    int errors = 0;
    int warnings = 0;

    void Line(const fs::path& file, Severity severity, const std::string& text) {
        const bool error = severity == Severity::Error;
        std::cout << font::Display(file) << (error ? ": error: " : ": warning: ") << text << '\n';
        ++(error ? errors : warnings);
    }
};

void CheckFile(const fs::path& file, Tally& tally) {
    ++tally.files;
    for (const glyph::Finding& finding : font::InspectGlyphFile(file).findings)
        tally.Line(file, finding.severity, finding.text);
}

// A folder's glyph files, each with the problems of its name: a name that
// fits neither form, or a character another file already holds. The lines
// come in the order of the files' names.
void CheckFolder(const fs::path& dir, Tally& tally) {
    std::error_code error;
    const font::FolderListing listing = font::ListFontFolder(dir, error);
    if (error)
        return tally.Line(dir, Severity::Error, "cannot read the folder: " + error.message());
    struct Said {
        const font::FolderEntry* entry;
        std::vector<glyph::Finding> findings;
    };
    std::vector<Said> said;
    const auto inspect = [&](const font::FolderEntry& entry, std::vector<glyph::Finding> findings,
                             const font::GlyphFileInspection& inspection) {
        ++tally.files;
        findings.insert(findings.end(), inspection.findings.begin(), inspection.findings.end());
        if (!findings.empty()) said.push_back({&entry, std::move(findings)});
    };
    font::InspectGlyphFilesAt(
        listing, listing.files,
        [&](const font::FolderEntry& entry, font::GlyphFileInspection&& inspection) {
            inspect(entry, {}, inspection);
        });
    // Every .dat entry is in the listing once: as a file of a character, or
    // with the problem of its name.
    font::InspectGlyphFilesAt(
        listing, listing.refused,
        [&](const font::FolderEntry& entry, font::GlyphFileInspection&& inspection) {
            const std::size_t i = static_cast<std::size_t>(&entry - listing.refused.data());
            inspect(entry, {{Severity::Error, listing.problems[i].reason}}, inspection);
        });
    std::sort(said.begin(), said.end(),
              [](const Said& a, const Said& b) { return a.entry->name < b.entry->name; });
    for (const Said& file : said)
        for (const glyph::Finding& finding : file.findings)
            tally.Line(listing.PathOf(*file.entry), finding.severity, finding.text);
    for (const glyph::Leftover& leftover :
         glyph::FindLeftovers(listing.Fd(), listing.inProgressNames))
        tally.Line(dir / leftover.name, Severity::Warning,
                   leftover.kind == glyph::LeftoverKind::TemporaryFile
                       ? "a temporary file that a killed glyphtool or editor left; the next "
                         "import into this folder removes it"
                       : "the staging folder of a killed import; the next import into this "
                         "folder or beside it removes it");
}

std::string Count(int n, const char* noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

}  // namespace

Verb AddCheck(CLI::App& app) {
    struct Options {
        std::vector<std::string> paths;
        bool strict = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand("check", "Lint glyph files or folders of them.");
    command->add_option("PATH", options->paths, "glyph files or folders of them")
        ->required()
        ->type_name("");
    command->add_flag("--strict", options->strict, "fail on warnings too");
    command->footer(
        "One line a problem: FILE: error: ... for what the editor refuses, FILE: warning: ... "
        "for what it reads but ignores; then the count on standard error. A folder means every "
        "entry in it whose name ends in .dat, and their names are checked too; what a killed "
        "import or write left in it is a warning.\n\n"
        "Example: glyphtool check --strict font/");

    return {command, [options] {
                Tally tally;
                for (const std::string& path : options->paths) {
                    std::error_code error;
                    // stat does not open the path, so a FIFO cannot block it.
                    if (fs::is_directory(path, error))
                        CheckFolder(path, tally);
                    else
                        CheckFile(path, tally);
                }
                std::cerr << Count(tally.files, "file") << ", " << Count(tally.errors, "error")
                          << ", " << Count(tally.warnings, "warning") << '\n';
                const bool failed = tally.errors > 0 || (options->strict && tally.warnings > 0);
                return failed ? 1 : 0;
            }};
}
