#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "font/FontReading.h"

// What import, export and convert share: the registry's formats by name, and
// reading or writing a font file through them.

// The names of the formats that read, or that write, in the registry's order.
std::vector<std::string> ReadingFormatNames();
std::vector<std::string> WritingFormatNames();

// --chars as the reading verbs take it: the characters of the font to read.
const font::OptionGroup& ReadingCharsOption();

// The option groups that any reader takes.
std::vector<const font::OptionGroup*> ReaderOptionGroups();

// FONT, the font file to read, and --from FORMAT, which names its format.
void AddFontFileOptions(CLI::App* command, std::string& font, std::string& from);

// What the readers read, a line each in the order they are tried, for
// import's help.
std::string ReaderHelp();

// Reads the font file at `path` as the format named `from`, or as whichever
// format's reader takes it when `from` is empty.
font::FontRead ReadFontFile(const std::string& path, const std::string& from,
                            const font::ReadOptions& options);

// Writes `font` in the format named `to` to `out`, after its warnings.
void WriteFontFile(const std::string& to, const font::WriteRequest& request,
                   const std::string& out);
