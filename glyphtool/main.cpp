#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "font/Failure.h"
#include "glyph/FileReplacement.h"
#include "glyphtool/Messages.h"
#include "glyphtool/Verb.h"

namespace {

constexpr int Done = 0;
constexpr int Failed = 1;
constexpr int BadUsage = 2;

const char* const Footer = R"(A font is a folder of glyph files, one a character: U+XXXX.dat (4 to 6
hexadecimal digits) or a name of exactly one character and .dat (A.dat).
Other files are ignored.

Exit status: 0 done, 1 the work failed (a bad file, a missing glyph),
2 a usage error.)";

// Adds a verb; `next` is the word after it on the command line, if any.
using VerbAdder = void (*)(CLI::App&, std::vector<Verb>&, std::string_view next);

template <Verb (*Add)(CLI::App&)>
void AddOne(CLI::App& app, std::vector<Verb>& verbs, std::string_view) {
    verbs.push_back(Add(app));
}

// Every verb, in the order help lists them.
const std::pair<std::string_view, VerbAdder> AllVerbs[] = {
    {"formats", AddOne<AddFormats>}, {"convert", AddOne<AddConvert>}, {"show", AddOne<AddShow>},
    {"check", AddOne<AddCheck>},     {"import", AddOne<AddImport>},   {"export", AddExport},
    {"render", AddOne<AddRender>},   {"chart", AddOne<AddChart>},
};

// The verbs to build: only the one the command line starts with, since
// building every verb's options is a good part of a short run's start-up;
// all of them for help, the version or a word that names no verb.
std::vector<Verb> AddVerbs(CLI::App& app, int argc, char** argv) {
    const std::string_view first = argc > 1 ? argv[1] : "";
    const bool named = std::any_of(std::begin(AllVerbs), std::end(AllVerbs),
                                   [&](const auto& verb) { return verb.first == first; });
    const std::string_view next = argc > 2 ? argv[2] : "";
    std::vector<Verb> verbs;
    for (const auto& [name, add] : AllVerbs)
        if (!named || name == first) add(app, verbs, named ? next : "");
    return verbs;
}

// The verb named on the command line ("show", "export c"), for the hint
// after a usage error; empty when none is.
std::string VerbIn(int argc, char** argv, const CLI::App& app) {
    std::string verb;
    const CLI::App* level = &app;
    for (int i = 1; i < argc && level != nullptr; ++i) {
        const CLI::App* next = nullptr;
        for (const CLI::App* sub : level->get_subcommands([](const CLI::App*) { return true; }))
            if (sub->get_name() == argv[i]) next = sub;
        if (next == nullptr) break;
        verb += (verb.empty() ? "" : " ") + next->get_name();
        level = next;
    }
    return verb;
}

int UsageFailure(const std::string& reason, const std::string& verb) {
    Report(reason);
    std::cerr << "Try 'glyphtool " << (verb.empty() ? "" : verb + " ") << "--help'.\n";
    return BadUsage;
}

}  // namespace

int main(int argc, char** argv) {
    glyph::RemoveTemporaryFileOnSignal();
    CLI::App app{"Moves glyph files of the QUELT font editor to and from fonts and firmware.",
                 "glyphtool"};
    app.set_version_flag("--version", std::string("glyphtool ") + GLYPHTOOL_VERSION);
    app.require_subcommand(1);
    app.footer(Footer);

    const std::vector<Verb> verbs = AddVerbs(app, argc, argv);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {
        // --help and --version: their text is the work, so losing it fails.
        const int status = app.exit(success);
        std::cout.flush();
        if (!std::cout) {
            Report("standard output: cannot write");
            return Failed;
        }
        return status;
    } catch (const CLI::ParseError& error) {
        const std::string verb = VerbIn(argc, argv, app);
        if (verb.empty() && argc > 1 && argv[1][0] != '-')
            return UsageFailure(std::string("unknown verb '") + argv[1] + "'", verb);
        return UsageFailure(error.what(), verb);
    }

    int status = Done;
    try {
        for (const Verb& verb : verbs)
            if (verb.command->parsed()) status = verb.run();
    } catch (const UsageError& error) {
        return UsageFailure(error.what(), VerbIn(argc, argv, app));
    } catch (const font::Failure& failure) {
        for (const std::string& line : failure.Lines()) Report(line);
        status = Failed;
    } catch (const std::exception& error) {
        Report(error.what());
        status = Failed;
    }
    std::cout.flush();
    if (!std::cout) {
        Report("standard output: cannot write");
        return Failed;
    }
    return status;
}
