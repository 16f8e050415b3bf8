#include <memory>

#include "formats/Registry.h"
#include "glyphtool/FolderInput.h"
#include "glyphtool/FormatUse.h"
#include "glyphtool/OptionGroups.h"
#include "glyphtool/Verb.h"

namespace {

Verb AddExportAs(CLI::App& parent, const font::FontFormat& format) {
    struct Options {
        std::string dir, out;
        std::unique_ptr<FormatOptionsOnCommand> given;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command =
        parent.add_subcommand(format.name, "Write the folder as " + format.description + ".");
    command->add_option("DIR", options->dir, "the font folder")->required()->type_name("");
    const std::string placeholder =
        "OUT" + (format.extensions.empty() ? std::string() : format.extensions.front());
    AddOutputOption(command, options->out, "the file to write, or - for standard output",
                    placeholder.c_str());
    options->given = std::make_unique<FormatOptionsOnCommand>(command);
    for (const font::OptionGroup* group : format.writer->groups) options->given->Add(*group);
    command->footer(format.writer->help);
    return {command, [options, name = format.name] {
                const font::Font font = LoadFolderFont(options->dir, options->out);
                const font::OptionValues values = options->given->Values();
                WriteFontFile(name, {font, values, FolderName(options->dir)}, options->out);
                return 0;
            }};
}

}  // namespace

void AddExport(CLI::App& app, std::vector<Verb>& verbs, std::string_view format) {
    CLI::App* command = app.add_subcommand(
        "export", "Write a font folder in another format: one subcommand a format.");
    command->require_subcommand(1);
    const font::FontFormat* named = formats::FindFormat(format);
    if (named != nullptr && named->writer) {
        verbs.push_back(AddExportAs(*command, *named));
        return;
    }
    for (const font::FontFormat* each : formats::Registry())
        if (each->writer) verbs.push_back(AddExportAs(*command, *each));
}
