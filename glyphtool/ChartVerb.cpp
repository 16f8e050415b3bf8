#include <iostream>
#include <memory>

#include "font/Failure.h"
#include "font/OutputFile.h"
#include "formats/Registry.h"
#include "glyphtool/FolderInput.h"
#include "glyphtool/FormatUse.h"
#include "glyphtool/OptionGroups.h"
#include "glyphtool/Verb.h"

Verb AddChart(CLI::App& app) {
    struct Options {
        std::string dir, out;
        int scale = 4;
    };
    auto options = std::make_shared<Options>();
    // The verb draws what export chart writes, and without -o the same grid as text.
    const font::FontFormat& chart = *formats::FindFormat("chart");
    const font::OptionSpec& scale = *SpecIn(chart.writer->groups, "--scale");
    CLI::App* command = app.add_subcommand("chart", "Draw a chart of a whole font folder.");
    command->add_option("DIR", options->dir, "the font folder")->required()->type_name("");
    AddOutputOption(command, options->out, "write a PNG here (- for standard output)", "OUT.png",
                    /*required=*/false);
    command->add_option("--scale", options->scale, scale.help)
        ->check(CLI::Range(static_cast<int>(scale.low), static_cast<int>(scale.high)));
    command->footer(
        "Rows of 16 cells, each row the code points U+XXX0 to U+XXXF that the folder has glyphs "
        "in: set pixels black, clear ones white, the columns beyond each width light grey. "
        "Without -o the same grid is printed as # and ., with spaces beyond each width. import "
        "reads the PNG back, also after it has been drawn on in an image editor.\n\n"
        "Example: glyphtool chart 5x7 -o 5x7.png --scale 4");
    return {command, [options, &writer = *chart.writer] {
                const font::Font font = LoadFolderFont(options->dir, options->out);
                if (options->out.empty()) {
                    std::cout << writer.text(font);
                    return 0;
                }
                font::OptionValues values;
                values.Add("--scale", std::to_string(options->scale));
                font::WrittenFont png;
                try {
                    png = writer.write({font, values, FolderName(options->dir)});
                } catch (const font::Failure& failure) {
                    throw font::Failure(font::Display(options->out) + ": " + failure.what());
                }
                font::WriteOutputFile(options->out, png.bytes);
                return 0;
            }};
}
