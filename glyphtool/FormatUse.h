#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "font/FontReading.h"
#include "glyphtool/OptionGroups.h"

// What import, export and convert share: the registry's formats by name, and
// reading or writing a font file through them.

// The names of the formats that read, or that write, in the registry's order.
std::vector<std::string> ReadingFormatNames();
std::vector<std::string> WritingFormatNames();

// The option groups that any reader takes.
std::vector<const font::OptionGroup*> ReaderOptionGroups();

// The spec of `flag` in `groups`, or null.
const font::OptionSpec* SpecIn(const std::vector<const font::OptionGroup*>& groups,
                               const std::string& flag);

// What a verb that reads a font file takes: FONT, --from FORMAT, which
// names its format, -o and the format options given.
struct FontFileOptions {
    std::string font, from, out;
    std::unique_ptr<FormatOptionsOnCommand> given;
};

// The subcommand `name` of a verb that reads a font file, with FONT, --from
// and -o, which names `output` as `placeholder` shows it.
CLI::App* AddFontFileVerb(CLI::App& app, const std::string& name, const std::string& description,
                          FontFileOptions& options, const std::string& output,
                          const char* placeholder);

// The format options of a verb that reads a font file, starting with
// --chars: the characters of the font to read.
std::unique_ptr<FormatOptionsOnCommand> AddReadingOptions(CLI::App* command);

// What the readers read, a line each in the order they are tried, for
// import's help.
std::string ReaderHelp();

// Reads the characters `values` pick (with --chars) of the font file at
// `path` as the format named `from`, or as whichever format's reader takes
// it when `from` is empty.
font::FontRead ReadFontFile(const std::string& path, const std::string& from,
                            const font::OptionValues& values);

// The font read from `path`, after its warnings; refused when it has no
// characters.
const font::Font& ImportedFont(const font::FontRead& read, const std::string& path);

// Writes `font` in the format named `to` to `out`, after its warnings.
void WriteFontFile(const std::string& to, const font::WriteRequest& request,
                   const std::string& out);
