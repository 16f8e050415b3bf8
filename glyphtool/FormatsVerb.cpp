#include <algorithm>
#include <iostream>

#include "formats/Registry.h"
#include "glyphtool/Verb.h"

namespace {

std::string Padded(std::string text, std::size_t width) {
    text.resize(std::max(text.size() + 1, width), ' ');
    return text;
}

std::string Extensions(const font::FontFormat& format) {
    std::string extensions;
    for (const std::string& extension : format.extensions)
        extensions += (extensions.empty() ? "" : " ") + extension;
    return extensions;
}

}  // namespace

Verb AddFormats(CLI::App& app) {
    CLI::App* command =
        app.add_subcommand("formats", "List the font formats glyphtool reads and writes.");
    command->footer(
        "For finding which files glyphtool can read and write, and the name to give import "
        "--from, export FORMAT and convert --to for each. One line a format: its name, as "
        "import --from, export and convert take it; whether "
        "glyphtool reads it, writes it or both; the extensions its files usually have; and what "
        "it is. import finds the format of a file from its content, trying the readers in this "
        "order.\n\nExample: glyphtool formats");
    return {command, [] {
                std::size_t nameWidth = 0, extensionsWidth = 0;
                for (const font::FontFormat* format : formats::Registry()) {
                    nameWidth = std::max(nameWidth, format->name.size() + 2);
                    extensionsWidth = std::max(extensionsWidth, Extensions(*format).size() + 2);
                }
                for (const font::FontFormat* format : formats::Registry()) {
                    const char* const modes = format->reader && format->writer ? "read/write"
                                              : format->reader                 ? "read"
                                                                               : "write";
                    std::cout << Padded(format->name, nameWidth) << Padded(modes, 12)
                              << Padded(Extensions(*format), extensionsWidth) << format->description
                              << '\n';
                }
                return 0;
            }};
}
