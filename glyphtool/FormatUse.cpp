#include "glyphtool/FormatUse.h"

#include <algorithm>

#include "font/Failure.h"
#include "font/OutputFile.h"
#include "formats/Registry.h"
#include "glyphtool/Messages.h"

std::vector<std::string> ReadingFormatNames() {
    std::vector<std::string> names;
    for (const font::FontFormat* format : formats::Registry())
        if (format->reader) names.push_back(format->name);
    return names;
}

std::vector<std::string> WritingFormatNames() {
    std::vector<std::string> names;
    for (const font::FontFormat* format : formats::Registry())
        if (format->writer) names.push_back(format->name);
    return names;
}

namespace {

// --chars as the reading verbs take it.
const font::OptionGroup& ReadingCharsOption() {
    static const font::OptionGroup group = [] {
        font::OptionGroup chars = font::CharsOption();
        chars.options.front().help =
            "only these characters: 0x20-0x7E, U+3040-U+309F, 65 (repeatable; default every "
            "character the font maps)";
        return chars;
    }();
    return group;
}

}  // namespace

std::vector<const font::OptionGroup*> ReaderOptionGroups() {
    std::vector<const font::OptionGroup*> groups;
    for (const font::FontFormat* format : formats::Registry())
        if (format->reader)
            for (const font::OptionGroup* group : format->reader->groups)
                if (std::find(groups.begin(), groups.end(), group) == groups.end())
                    groups.push_back(group);
    return groups;
}

const font::OptionSpec* SpecIn(const std::vector<const font::OptionGroup*>& groups,
                               const std::string& flag) {
    for (const font::OptionGroup* group : groups)
        for (const font::OptionSpec& spec : group->options)
            if (spec.flag == flag) return &spec;
    return nullptr;
}

CLI::App* AddFontFileVerb(CLI::App& app, const std::string& name, const std::string& description,
                          FontFileOptions& options, const std::string& output,
                          const char* placeholder) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("FONT", options.font, "the font file")->required()->type_name("");
    command
        ->add_option("--from", options.from,
                     "the font's format, which skips finding it from the file's content")
        ->type_name("FORMAT")
        ->check(CLI::IsMember(ReadingFormatNames()));
    AddOutputOption(command, options.out, output, placeholder);
    return command;
}

std::unique_ptr<FormatOptionsOnCommand> AddReadingOptions(CLI::App* command) {
    auto given = std::make_unique<FormatOptionsOnCommand>(command);
    given->Add(ReadingCharsOption());
    return given;
}

std::string ReaderHelp() {
    std::string help;
    for (const font::FontFormat* format : formats::Registry())
        if (format->reader) help += "  " + format->name + ": " + format->reader->help + "\n";
    return help;
}

font::FontRead ReadFontFile(const std::string& path, const std::string& from,
                            const font::OptionValues& values) {
    const font::FontFile file = font::OpenFontFile(path);
    return font::ReadFontFile(file, formats::Registry(),
                              from.empty() ? nullptr : formats::FindFormat(from),
                              {font::ChosenRanges(values), values});
}

const font::Font& ImportedFont(const font::FontRead& read, const std::string& path) {
    for (const std::string& warning : read.report.warnings) Warn(warning);
    if (read.report.font.glyphs.empty())
        throw font::Failure(font::Display(path) + ": no characters to import");
    return read.report.font;
}

void WriteFontFile(const std::string& to, const font::WriteRequest& request,
                   const std::string& out) {
    const font::FontWriter& writer = *formats::FindFormat(to)->writer;
    if (writer.stream) {
        font::WriteOutputFile(out, [&](font::TextOut& text) {
            for (const std::string& warning : writer.stream(request, text)) Warn(warning);
        });
        return;
    }
    const font::WrittenFont written = writer.write(request);
    for (const std::string& warning : written.warnings) Warn(warning);
    if (written.bytes.empty())
        font::WriteOutputFile(out, written.text);
    else
        font::WriteOutputFile(out, written.bytes);
}
