#include "glyphtool/FormatUse.h"

#include <algorithm>

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

std::vector<const font::OptionGroup*> ReaderOptionGroups() {
    std::vector<const font::OptionGroup*> groups;
    for (const font::FontFormat* format : formats::Registry())
        if (format->reader)
            for (const font::OptionGroup* group : format->reader->groups)
                if (std::find(groups.begin(), groups.end(), group) == groups.end())
                    groups.push_back(group);
    return groups;
}

void AddFontFileOptions(CLI::App* command, std::string& font, std::string& from) {
    command->add_option("FONT", font, "the font file")->required()->type_name("");
    command
        ->add_option("--from", from,
                     "the font's format, which skips finding it from the file's content")
        ->type_name("FORMAT")
        ->check(CLI::IsMember(ReadingFormatNames()));
}

std::string ReaderHelp() {
    std::string help;
    for (const font::FontFormat* format : formats::Registry())
        if (format->reader) help += "  " + format->name + ": " + format->reader->help + "\n";
    return help;
}

font::FontRead ReadFontFile(const std::string& path, const std::string& from,
                            const font::ReadOptions& options) {
    const font::FontFile file = font::OpenFontFile(path);
    return font::ReadFontFile(file, formats::Registry(),
                              from.empty() ? nullptr : formats::FindFormat(from), options);
}

void WriteFontFile(const std::string& to, const font::WriteRequest& request,
                   const std::string& out) {
    const font::WrittenFont written = formats::FindFormat(to)->writer->write(request);
    for (const std::string& warning : written.warnings) Warn(warning);
    font::WriteOutputFile(out, written.bytes);
}
