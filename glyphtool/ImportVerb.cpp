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
#include "font/FontImport.h"
#include "font/GlyphFileInspection.h"
#include "font/OutputFile.h"
#include "font/Unicode.h"
#include "glyph/FileHead.h"
#include "glyph/GlyphFile.h"
#include "glyphtool/CharRanges.h"
#include "glyphtool/Messages.h"
#include "glyphtool/OptionGroups.h"
#include "glyphtool/Verb.h"

namespace {

namespace fs = std::filesystem;

struct Options {
    std::string font;
    std::string dir;
    std::vector<std::string> chars;
    bool force = false;
    std::optional<int> ascent;
    std::string fontName;
    std::vector<std::string> defines;
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
    std::optional<struct stat> replaced;
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
    int overwrites = 0;
    for (const font::Glyph& glyph : font.glyphs) {
        std::string name = font::GlyphFileName(glyph.codePoint);
        const fs::path file = dir / name;
        const auto holder = existing.find(glyph.codePoint);
        if (holder == existing.end()) {
            plan.push_back({&glyph, std::move(name), std::nullopt});
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
                plan.push_back({&glyph, std::move(name), std::nullopt});
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
            plan.push_back({&glyph, std::move(name), status});
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
        for (const PlannedFile& planned : Plan(font, folder, dir, fontFile, force)) {
            const auto bytes = glyph::EncodeGlyph(planned.glyph->rows, planned.glyph->width);
            folder.Add(planned.name, bytes, planned.replaced ? &*planned.replaced : nullptr);
        }
        if (folder.Commit()) return;
    }
}

int Import(const Options& options) {
    font::ImportOptions importOptions{{}, options.ascent, options.fontName, options.defines};
    for (const std::string& text : options.chars)
        importOptions.ranges.push_back(*ParseCharRange(text));
    const font::ImportReport report = font::ImportFont(options.font, importOptions);
    for (const std::string& warning : report.warnings) Warn(warning);
    if (report.font.glyphs.empty())
        throw font::Failure(font::Display(options.font) + ": no characters to import");

    const fs::path dir = options.dir;
    WriteGlyphFiles(report.font, dir, options.font, options.force);
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
        app.add_subcommand("import", "Fill a font folder from a font FreeType opens.");
    command->add_option("FONT", options->font, "the font file")->required()->type_name("");
    AddOutputOption(command, options->dir, "the folder to write into, made if missing", "DIR");
    AddCharsOption(command, options->chars,
                   "only these characters: 0x20-0x7E, U+3040-U+309F, 65 (repeatable; default "
                   "every character the font maps)");
    command->add_flag("--force", options->force, "overwrite glyph files that exist");
    command
        ->add_option("--ascent", options->ascent,
                     "a GFX header's rows above the baseline, 0 to 7 (default: the one export "
                     "gfx wrote, else the font's highest top; its highest ink when those cut "
                     "its glyphs)")
        ->check(CLI::Range(0, 7));
    command->add_option("--font", options->fontName, "which font of a header holding several")
        ->type_name("NAME");
    command
        ->add_option("--define,-D", options->defines,
                     "a macro for a header's #if and initialisers, as a C compiler's -D: "
                     "NAME is 1 (repeatable)")
        ->type_name("NAME[=VALUE]")
        ->check(CLI::Validator(
            [](const std::string& define) {
                const std::string name = define.substr(0, define.find('='));
                const bool valid =
                    !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) &&
                    std::all_of(name.begin(), name.end(), [](char c) {
                        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                    });
                return valid ? std::string() : "'" + name + "' is not a C macro name";
            },
            "", "macro"));
    command->footer(
        "Reads BDF, PCF, PCF.gz, Windows FON, OpenType bitmap and scalable fonts, and C headers "
        "holding an Adafruit GFX font or an MD_MAX72XX table (read as a C compiler reads them, "
        "#if and macros evaluated, #include not followed), and writes one "
        "U+XXXX.dat a character into DIR. A bitmap font gives its tallest strike whose glyphs' ink "
        "fits 7 rows, or else of at most 7 pixels; a scalable font is rendered at the largest size "
        "whose ascender and descender "
        "(or bounding box) fit in 7 rows. Fonts in other charsets than Unicode are converted "
        "with iconv. Nothing is written when a file, link, folder or FIFO is in the way.\n\n"
        "The glyph files are written whole into a hidden staging folder first (inside DIR, or "
        "beside it when DIR is new) and then take their names together, so that an import that "
        "fails, or is stopped by SIGINT, SIGTERM or SIGHUP, leaves DIR as it was. A replaced "
        "glyph keeps its owner, group and mode: one that a new file cannot take them from "
        "(another user's) is written in place. An import into a folder that another import is "
        "writing into waits for it to end, and says so.\n\n"
        "Example: glyphtool import /usr/share/fonts/X11/misc/5x7.pcf.gz -o 5x7 --chars 0x20-0x7E");
    return {command, [options] { return Import(*options); }};
}
