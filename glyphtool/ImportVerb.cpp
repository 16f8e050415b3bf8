#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

struct Options {
    std::string font;
    std::string dir;
    bool force = false;
    std::string from;
    std::unique_ptr<FormatOptionsOnCommand> given;
};

// The glyph files already in `dir`, by the character each holds; none when
// the folder does not exist yet.
std::map<char32_t, fs::path> ExistingGlyphFiles(const fs::path& dir) {
    std::map<char32_t, fs::path> existing;
    std::error_code error;
    const fs::file_status status = fs::status(dir, error);
    if (status.type() == fs::file_type::not_found) return existing;
    if (!fs::is_directory(status))
        throw font::Failure(font::Display(dir) + ": exists and is not a folder");
    for (const fs::path& file : font::GlyphFilesIn(dir))
        if (const auto cp = font::CodePointOfFileName(file.filename().string()))
            existing.emplace(*cp, file);
    return existing;
}

// One glyph file the import writes, and whether a file of that name is
// replaced.
struct PlannedFile {
    const font::Glyph* glyph;
    fs::path file;
    font::GlyphFileWrite how;
};

// What stops a glyph's file from being written as a plain file in its place,
// if anything does. `file` exists and `status` is its lstat.
std::optional<std::string> Obstacle(const fs::path& file, const struct stat& status,
                                    const fs::path& fontFile) {
    const char* const remedy = "; remove it or import into another folder";
    if (S_ISLNK(status.st_mode))
        return std::string("is a symbolic link, not a glyph file") + remedy;
    if (S_ISDIR(status.st_mode)) return std::string("is a folder") + remedy;
    if (!S_ISREG(status.st_mode)) return std::string("is not a regular file") + remedy;
    std::error_code error;
    if (fs::equivalent(file, fontFile, error)) return "is the font being imported";
    return std::nullopt;
}

// Every file the import writes, checked all before the first is written: a
// file it would replace without --force, a file that holds one of the
// characters under another name (which would leave two files for it), and
// anything at a glyph file's name that a plain file cannot replace.
std::vector<PlannedFile> Plan(const font::Font& font, const fs::path& dir, const fs::path& fontFile,
                              bool force) {
    const auto existing = ExistingGlyphFiles(dir);
    std::vector<std::string> lines;
    if (!existing.empty() || fs::is_directory(dir)) {
        if (::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
            lines.push_back(font::Display(dir) +
                            ": cannot write into the folder: " + glyph::SystemErrorText(errno));
    }
    std::vector<PlannedFile> plan;
    int overwrites = 0;
    for (const font::Glyph& glyph : font.glyphs) {
        const fs::path file = dir / font::GlyphFileName(glyph.codePoint);
        const auto holder = existing.find(glyph.codePoint);
        if (holder != existing.end() && holder->second.filename() != file.filename()) {
            lines.push_back(font::Display(holder->second) + ": already holds " +
                            font::DescribeCharacter(glyph.codePoint) +
                            "; remove it or import into another folder");
            continue;
        }
        struct stat status {};
        if (::lstat(file.c_str(), &status) != 0) {
            if (errno == ENOENT)
                plan.push_back({&glyph, file, font::GlyphFileWrite::New});
            else
                lines.push_back(font::Display(file) +
                                ": cannot be checked: " + glyph::SystemErrorText(errno));
            continue;
        }
        if (const auto obstacle = Obstacle(file, status, fontFile)) {
            lines.push_back(font::Display(file) + ": " + *obstacle);
        } else if (!force) {
            if (++overwrites <= 10)
                lines.push_back(font::Display(file) + ": exists; --force overwrites it");
        } else if ((status.st_mode & 0222) == 0 ||
                   ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) {
            lines.push_back(font::Display(file) + ": is read-only; --force does not replace it");
        } else {
            plan.push_back({&glyph, file, font::GlyphFileWrite::Replace});
        }
    }
    if (overwrites > 10)
        lines.push_back(font::Display(dir) + ": " + std::to_string(overwrites - 10) +
                        " more glyph files exist; --force overwrites them");
    if (!lines.empty()) throw font::Failure(lines);
    return plan;
}

int Import(const Options& options) {
    const font::OptionValues values = options.given->Values();
    const font::FontRead read =
        ReadFontFile(options.font, options.from, {font::ChosenRanges(values), values});
    if (const font::OptionGroup* group =
            font::GroupNotTaken(*read.format, ReaderOptionGroups(), values))
        throw font::Failure(font::Display(options.font) + ": " + group->purpose + ", and this is " +
                            read.format->reader->kind);
    const font::ImportReport& report = read.report;
    for (const std::string& warning : report.warnings) Warn(warning);
    if (report.font.glyphs.empty())
        throw font::Failure(font::Display(options.font) + ": no characters to import");

    const fs::path dir = options.dir;
    const std::vector<PlannedFile> plan = Plan(report.font, dir, options.font, options.force);
    std::error_code error;
    fs::create_directories(dir, error);
    if (error)
        throw font::Failure(font::Display(dir) + ": cannot create the folder: " + error.message());

    for (const PlannedFile& planned : plan) {
        const auto bytes = glyph::EncodeGlyph(planned.glyph->cells, planned.glyph->width);
        font::WriteGlyphFile(planned.file, bytes, planned.how);
    }
    std::cout << font::Display(options.font) << ": read " << report.source << '\n'
              << "imported " << report.font.glyphs.size() << " glyphs from "
              << font::Display(options.font) << " into " << font::Display(dir) << " ("
              << report.skipped << " skipped, " << report.clipped << " clipped)\n";
    return 0;
}

}  // namespace

Verb AddImport(CLI::App& app) {
    auto options = std::make_shared<Options>();
    CLI::App* command =
        app.add_subcommand("import", "Fill a font folder from a font file of any format it reads.");
    AddFontFileOptions(command, options->font, options->from);
    AddOutputOption(command, options->dir, "the folder to write into, made if missing", "DIR");
    options->given = std::make_unique<FormatOptionsOnCommand>(command);
    options->given->Add(ReadingCharsOption());
    command->add_flag("--force", options->force, "overwrite glyph files that exist");
    for (const font::OptionGroup* group : ReaderOptionGroups()) options->given->Add(*group);
    command->footer(
        "Reads these formats, each found from the file's content whatever its name, or named "
        "with --from:\n" +
        ReaderHelp() +
        "Writes one U+XXXX.dat a character into DIR. Nothing is written when a file, link, "
        "folder or FIFO is in the way.\n\nExample: glyphtool import "
        "/usr/share/fonts/X11/misc/5x7.pcf.gz -o 5x7 --chars 0x20-0x7E");
    return {command, [options] { return Import(*options); }};
}
