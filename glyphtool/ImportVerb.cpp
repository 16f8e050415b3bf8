#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "font/Failure.h"
#include "font/FontFolder.h"
#include "font/FontImport.h"
#include "font/GlyphFileInspection.h"
#include "font/OutputFile.h"
#include "font/Unicode.h"
#include "glyph/GlyphFile.h"
#include "glyphtool/CharRanges.h"
#include "glyphtool/Verb.h"

namespace {

namespace fs = std::filesystem;

struct Options {
    std::string font;
    std::string dir;
    std::vector<std::string> chars;
    bool force = false;
};

// The glyph files already in `dir`, by the character each holds; none when
// the folder does not exist yet.
std::map<char32_t, fs::path> ExistingGlyphFiles(const fs::path& dir) {
    std::map<char32_t, fs::path> existing;
    std::error_code error;
    if (!fs::exists(dir, error)) return existing;
    if (!fs::is_directory(dir, error))
        throw font::Failure(font::Display(dir) + ": exists and is not a folder");
    for (const fs::path& file : font::GlyphFilesIn(dir))
        if (const auto cp = font::CodePointOfFileName(file.filename().string()))
            existing.emplace(*cp, file);
    return existing;
}

// Lines that stop the import before a file is written: a file the import
// would replace without --force, and a file that holds one of the characters
// under another name, which would leave two files for it.
std::vector<std::string> Conflicts(const font::Font& font, const fs::path& dir,
                                   const std::map<char32_t, fs::path>& existing, bool force) {
    std::vector<std::string> lines;
    int overwrites = 0;
    for (const font::Glyph& glyph : font.glyphs) {
        const auto found = existing.find(glyph.codePoint);
        if (found == existing.end()) continue;
        if (found->second.filename() != font::GlyphFileName(glyph.codePoint))
            lines.push_back(font::Display(found->second) + ": already holds " +
                            font::DescribeCharacter(glyph.codePoint) +
                            "; remove it or import into another folder");
        else if (!force && ++overwrites <= 10)
            lines.push_back(font::Display(found->second) + ": exists; --force overwrites it");
    }
    if (overwrites > 10)
        lines.push_back(font::Display(dir) + ": " + std::to_string(overwrites - 10) +
                        " more glyph files exist; --force overwrites them");
    return lines;
}

int Import(const Options& options) {
    std::vector<font::CharRange> ranges;
    for (const std::string& text : options.chars) ranges.push_back(*ParseCharRange(text));
    const font::ImportReport report = font::ImportFont(options.font, ranges);
    for (const std::string& warning : report.warnings) Warn(warning);
    if (report.font.glyphs.empty())
        throw font::Failure(font::Display(options.font) + ": no characters to import");

    const fs::path dir = options.dir;
    const auto existing = ExistingGlyphFiles(dir);
    if (const auto conflicts = Conflicts(report.font, dir, existing, options.force);
        !conflicts.empty())
        throw font::Failure(conflicts);
    std::error_code error;
    fs::create_directories(dir, error);
    if (error)
        throw font::Failure(font::Display(dir) + ": cannot create the folder: " + error.message());

    for (const font::Glyph& glyph : report.font.glyphs) {
        const auto bytes = glyph::EncodeGlyph(glyph.cells, glyph.width);
        const fs::path file = dir / font::GlyphFileName(glyph.codePoint);
        const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (existing.contains(glyph.codePoint))
            font::WriteOutputFile(file, content, /*durable=*/false);
        else
            font::WriteNewOutputFile(file, content);
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
        app.add_subcommand("import", "Fill a font folder from a font FreeType opens.");
    command->add_option("FONT", options->font, "the font file")->required()->type_name("");
    command->add_option("-o,--output", options->dir, "the folder to write into, made if missing")
        ->required()
        ->type_name("DIR");
    command
        ->add_option("--chars", options->chars,
                     "only these characters: 0x20-0x7E, U+3040-U+309F, 65 (repeatable; default "
                     "every character the font maps)")
        ->type_name("RANGE")
        ->allow_extra_args(false)
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParseCharRange(text) ? std::string()
                                            : "'" + text + "' is not a code point or range";
            },
            "RANGE"));
    command->add_flag("--force", options->force, "overwrite glyph files that exist");
    command->footer(
        "Reads BDF, PCF, PCF.gz, Windows FON, OpenType bitmap and scalable fonts and writes one "
        "U+XXXX.dat a character into DIR. A bitmap font gives its tallest strike of at most 7 "
        "pixels; a scalable font is rendered at the largest size whose ascender and descender "
        "fit in 7 rows.\n\n"
        "Example: glyphtool import /usr/share/fonts/X11/misc/5x7.pcf.gz -o 5x7 --chars 0x20-0x7E");
    return {command, [options] { return Import(*options); }};
}
