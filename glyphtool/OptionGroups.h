#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "font/FormatOptions.h"

// Options that several verbs take, defined once so that each reads and fails
// alike everywhere.

// A validator that refuses text for which `valid` is false, saying it is not
// `what`.
CLI::Validator Checked(bool (*valid)(std::string_view), std::string what);

// -o/--output, required and not empty.
void AddOutputOption(CLI::App* command, std::string& out, const std::string& description,
                     const char* placeholder, bool required = true);

// The options of format option groups on one command: each becomes a CLI11
// option, read back after parsing as the values the formats take.
class FormatOptionsOnCommand {
  public:
    explicit FormatOptionsOnCommand(CLI::App* command) : command_(command) {}

    // Adds the group's options that the command does not have yet; with
    // `checked`, CLI11 checks their values as the group's specs say.
    void Add(const font::OptionGroup& group, bool checked = true);

    // The values given, once the command line is parsed; a switch given has
    // one empty value.
    font::OptionValues Values() const;

  private:
    CLI::App* command_;
    std::vector<std::pair<std::string, CLI::Option*>> options_;
};
