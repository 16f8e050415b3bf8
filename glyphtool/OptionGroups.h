#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <vector>

// Options that several verbs take, defined once so that each reads and fails
// alike everywhere.

// A validator that refuses text for which `valid` is false, saying it is not
// `what`.
CLI::Validator Checked(bool (*valid)(std::string_view), std::string what);

// -o/--output, required and not empty.
void AddOutputOption(CLI::App* command, std::string& out, const std::string& description,
                     const char* placeholder, bool required = true);

// --ascent N: rows above the baseline, 0 to 7, 6 by default, for the formats
// that place the glyphs on a baseline.
void AddAscentOption(CLI::App* command, int& ascent);

// --chars RANGE, repeatable: code points as 0x20-0x7E, U+3040-U+309F or 65.
void AddCharsOption(CLI::App* command, std::vector<std::string>& chars,
                    const std::string& description);
