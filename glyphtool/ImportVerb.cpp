#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>

#include "font/Failure.h"
#include "font/FontFolder.h"
#include "font/FontReading.h"
#include "font/GlyphFileInspection.h"
#include "font/OutputFile.h"
#include "font/Unicode.h"
#include "glyph/FileHead.h"
#include "glyph/GlyphFile.h"
#include "glyphtool/FormatUse.h"
#include "glyphtool/Messages.h"
#include "glyphtool/OptionGroups.h"
#include "glyphtool/Verb.h"

namespace {

namespace fs = std::filesystem;

// -o names the folder to write into.
struct ImportOptions : FontFileOptions {
    bool force = false;
};

// The glyph files already in `dir`, by the character each holds.
std::map<char32_t, fs::path> ExistingGlyphFiles(const fs::path& dir) {
    std::map<char32_t, fs::path> existing;
    for (const fs::path& file : font::GlyphFilesIn(dir))
        if (const auto cp = font::CodePointOfFileName(file.filename().string()))
            existing.emplace(*cp, file);
    return existing;
}

// One glyph file the import writes, and the lstat of the file of that name
// it replaces, if any.
struct PlannedFile {
    const font::Glyph* glyph;
    std::string name;
    std::unique_ptr<struct stat> replaced;  // kept apart: nearly every file is new
};

// What stops a glyph's file from being written as a plain file in its place,
// if anything does. `status` is the lstat of the file at its name.
std::optional<std::string> Obstacle(const struct stat& status,
                                    const std::optional<struct stat>& fontFile) {
    const char* const remedy = "; remove it or import into another folder";
    if (S_ISLNK(status.st_mode))
        return std::string("is a symbolic link, not a glyph file") + remedy;
    if (S_ISDIR(status.st_mode)) return std::string("is a folder") + remedy;
    if (!S_ISREG(status.st_mode)) return std::string("is not a regular file") + remedy;
    if (fontFile && fontFile->st_dev == status.st_dev && fontFile->st_ino == status.st_ino)
        return "is the font being imported";
    return std::nullopt;
}

// Every file the import writes, checked all before the first is written: a
// file it would replace without --force, a file that holds one of the
// characters under another name (which would leave two files for it), and
// anything at a glyph file's name that a plain file cannot replace. Names
// the folder's listing does not have need no look: a file that takes one
// meanwhile stops the import.
std::vector<PlannedFile> Plan(const font::Font& font, const font::GlyphFolderWrite& folder,
                              const fs::path& dir, const fs::path& fontFile, bool force) {
    const int dirFd = folder.Fd();
    const auto existing = dirFd < 0 ? std::map<char32_t, fs::path>() : ExistingGlyphFiles(dir);
    std::vector<std::string> lines;
    if (dirFd >= 0 && ::faccessat(dirFd, ".", W_OK | X_OK, AT_EACCESS) != 0)
        lines.push_back(font::Display(dir) +
                        ": cannot write into the folder: " + glyph::SystemErrorText(errno));
    std::optional<struct stat> fontStatus;
    if (struct stat status{}; !existing.empty() && ::stat(fontFile.c_str(), &status) == 0)
        fontStatus = status;
    std::vector<PlannedFile> plan;
    plan.reserve(font.glyphs.size());
    int overwrites = 0;
    for (const font::Glyph& glyph : font.glyphs) {
        std::string name = font::GlyphFileName(glyph.codePoint);
        const fs::path file = dir / name;
        const auto holder = existing.find(glyph.codePoint);
        if (holder == existing.end()) {
            plan.push_back({&glyph, std::move(name), nullptr});
            continue;
        }
        if (holder->second.filename() != name) {
            lines.push_back(font::Display(holder->second) + ": already holds " +
                            font::DescribeCharacter(glyph.codePoint) +
                            "; remove it or import into another folder");
            continue;
        }
        struct stat status {};
        if (::fstatat(dirFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                plan.push_back({&glyph, std::move(name), nullptr});
            else
                lines.push_back(font::Display(file) +
                                ": cannot be checked: " + glyph::SystemErrorText(errno));
            continue;
        }
        if (const auto obstacle = Obstacle(status, fontStatus)) {
            lines.push_back(font::Display(file) + ": " + *obstacle);
        } else if (!force) {
            if (++overwrites <= 10)
                lines.push_back(font::Display(file) + ": exists; --force overwrites it");
        } else if ((status.st_mode & 0222) == 0 ||
                   ::faccessat(dirFd, name.c_str(), W_OK, AT_EACCESS) != 0) {
            lines.push_back(font::Display(file) + ": is read-only; --force does not replace it");
        } else {
            plan.push_back({&glyph, std::move(name), std::make_unique<struct stat>(status)});
        }
    }
    if (overwrites > 10)
        lines.push_back(font::Display(dir) + ": " + std::to_string(overwrites - 10) +
                        " more glyph files exist; --force overwrites them");
    if (!lines.empty()) throw font::Failure(lines);
    return plan;
}

// Writes the glyph files of the plan into the folder, all or none, while no
// other import writes into it.
void WriteGlyphFiles(const font::Font& font, const fs::path& dir, const fs::path& fontFile,
                     bool force) {
    const auto onWait = [&dir] {
        Report(font::Display(dir) + ": waiting for another import into this folder to end");
    };
    // Planned again when the folder appeared while the files were written.
    for (;;) {
        font::GlyphFolderWrite folder(dir, onWait);
        const std::vector<PlannedFile> plan = Plan(font, folder, dir, fontFile, force);
        folder.Reserve(plan.size());
        for (const PlannedFile& planned : plan) {
            const auto bytes = glyph::EncodeGlyph(planned.glyph->rows, planned.glyph->width);
            folder.Add(planned.name, bytes, planned.replaced.get());
        }
        if (folder.Commit()) return;
    }
}

int Import(const ImportOptions& options) {
    const font::OptionValues values = options.given->Values();
    const font::FontRead read = ReadFontFile(options.font, options.from, values);
    if (const font::OptionGroup* group =
            font::GroupNotTaken(*read.format, ReaderOptionGroups(), values))
        throw font::Failure(font::Display(options.font) + ": " + group->purpose + ", and this is " +
                            read.format->reader->kind);
    const font::ImportReport& report = read.report;
    const fs::path dir = options.out;
    WriteGlyphFiles(ImportedFont(read, options.font), dir, options.font, options.force);
    std::cout << font::Display(options.font) << ": read " << report.source << '\n'
              << "imported " << report.font.glyphs.size() << " glyphs from "
              << font::Display(options.font) << " into " << font::Display(dir) << " ("
              << report.skipped << " skipped, " << report.clipped << " clipped)\n";
    return 0;
}

}  // namespace

Verb AddImport(CLI::App& app) {
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command = AddFontFileVerb(
        app, "import", "Fill a font folder from a font file of any format it reads.", *options,
        "the folder to write into, made if missing", "DIR");
    options->given = AddReadingOptions(command);
    command->add_flag("--force", options->force, "overwrite glyph files that exist");
    for (const font::OptionGroup* group : ReaderOptionGroups()) options->given->Add(*group);
    command->footer(
        "Reads these formats, each found from the file's content whatever its name, or named "
        "with --from:\n" +
        ReaderHelp() +
        "Writes one U+XXXX.dat a character into DIR. Nothing is written when a file, link, "
        "folder or FIFO is in the way.\n\n"
        "The glyph files are written whole into a hidden staging folder first (inside DIR, or "
        "beside it when DIR is new) and then take their names together, so that an import that "
        "fails, or is stopped by SIGINT, SIGTERM or SIGHUP, leaves DIR as it was. A replaced "
        "glyph keeps its owner, group and mode: one that a new file cannot take them from "
        "(another user's) is written in place. An import into a folder that another import is "
        "writing into waits for it to end, and says so.\n\n"
        "Example: glyphtool import "
        "/usr/share/fonts/X11/misc/5x7.pcf.gz -o 5x7 --chars 0x20-0x7E");
    return {command, [options] { return Import(*options); }};
}
