#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>

// One verb of the command line: the subcommand it adds and the work it does
// once the arguments are parsed. The work returns the exit status (0 done,
// 1 failed) and raises font::Failure when it cannot be done at all.
struct Verb {
    CLI::App* command;
    std::function<int()> run;
};

// An argument that parses but cannot be used; the program exits with 2.
class UsageError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

Verb AddShow(CLI::App& app);
Verb AddCheck(CLI::App& app);
Verb AddImport(CLI::App& app);
// Only the subcommand of `format` when it names a format that writes, since
// building every format's options costs a short run; else one a format.
void AddExport(CLI::App& app, std::vector<Verb>& verbs, std::string_view format = {});
Verb AddRender(CLI::App& app);
Verb AddChart(CLI::App& app);
Verb AddFormats(CLI::App& app);
Verb AddConvert(CLI::App& app);
