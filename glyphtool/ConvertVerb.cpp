#include <algorithm>
#include <memory>

#include "font/Failure.h"
#include "font/FontFolder.h"
#include "font/OutputFile.h"
#include "formats/Registry.h"
#include "glyphtool/FolderInput.h"
#include "glyphtool/FormatUse.h"
#include "glyphtool/Messages.h"
#include "glyphtool/OptionGroups.h"
#include "glyphtool/Verb.h"

namespace {

struct ConvertOptions : FontFileOptions {
    std::string to;
};

// The option groups of a format's reader or writer, or none when it has not
// that side.
template <typename Side>
std::vector<const font::OptionGroup*> GroupsOf(const std::optional<Side>& side) {
    return side ? side->groups : std::vector<const font::OptionGroup*>{};
}

void Refuse(const font::OptionSpec& spec, const std::vector<std::string>& values) {
    for (const std::string& value : values)
        if (const auto reason = spec.Refuse(value)) throw UsageError(spec.flag + ": " + *reason);
}

// Checks the values given before anything is read: each option the output
// format takes against its spec, and each that a reader takes against the
// spec of every reader that takes it, whichever turns out to read the font.
void CheckValues(const font::OptionValues& values, const font::FontFormat& to) {
    const auto writerGroups = GroupsOf(to.writer);
    for (const std::string& flag : values.Flags()) {
        if (const font::OptionSpec* spec = SpecIn(writerGroups, flag))
            Refuse(*spec, values.All(flag));
        for (const font::FontFormat* format : formats::Registry())
            if (const font::OptionSpec* spec = SpecIn(GroupsOf(format->reader), flag))
                Refuse(*spec, values.All(flag));
    }
}

// An option that neither format takes is a usage error.
void CheckTaken(const font::OptionValues& values, const font::FontFormat& from,
                const font::FontFormat& to) {
    for (const std::string& flag : values.Flags())
        if (flag != "--chars" && SpecIn(GroupsOf(from.reader), flag) == nullptr &&
            SpecIn(GroupsOf(to.writer), flag) == nullptr)
            throw UsageError(flag + " is taken by neither " + from.name + " nor " + to.name);
}

int Convert(const ConvertOptions& options) {
    const font::OptionValues values = options.given->Values();
    const font::FontFormat& to = *formats::FindFormat(options.to);
    CheckValues(values, to);
    if (!options.from.empty()) CheckTaken(values, *formats::FindFormat(options.from), to);
    font::RefuseOutputOverInput(options.out, std::filesystem::path(options.font));

    const font::FontRead read = ReadFontFile(options.font, options.from, values);
    if (options.from.empty()) CheckTaken(values, *read.format, to);
    WriteFontFile(options.to, {ImportedFont(read, options.font), values, FileStem(options.font)},
                  options.out);
    return 0;
}

}  // namespace

Verb AddConvert(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command =
        AddFontFileVerb(app, "convert", "Write a font file in another format, in one step.",
                        *options, "the file to write, or - for standard output", "OUT");
    command->add_option("--to", options->to, "the format to write")
        ->required()
        ->type_name("FORMAT")
        ->check(CLI::IsMember(WritingFormatNames()));
    options->given = AddReadingOptions(command);
    // Two formats may take one flag with their own checks: each value is
    // checked against the formats chosen, once they are known.
    for (const font::FontFormat* format : formats::Registry()) {
        for (const font::OptionGroup* group : GroupsOf(format->reader))
            options->given->Add(*group, /*checked=*/false);
        for (const font::OptionGroup* group : GroupsOf(format->writer))
            options->given->Add(*group, /*checked=*/false);
    }
    command->footer(
        "Reads FONT as import does and writes it as export FORMAT does, with no folder in "
        "between: the output is byte for byte what import into a fresh folder and export of "
        "that folder give, with the same warnings. Each option goes to the format that takes "
        "it, or to both; one that neither takes is refused. A name the output takes from a "
        "folder's name comes from FONT's name without its extensions (5x7.pcf.gz gives 5x7). "
        "glyphtool formats lists the formats, and export FORMAT --help the options of each."
        "\n\nExample: glyphtool convert /usr/share/fonts/X11/misc/5x7.pcf.gz -o Font5x7.h "
        "--to gfx --chars 0x20-0x7E");
    return {command, [options] { return Convert(*options); }};
}
