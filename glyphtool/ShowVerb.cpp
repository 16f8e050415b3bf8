#include <iostream>
#include <memory>

#include "font/FontFolder.h"
#include "font/GlyphFileInspection.h"
#include "font/PixelLine.h"
#include "glyphtool/Messages.h"
#include "glyphtool/Verb.h"

Verb AddShow(CLI::App& app) {
    auto files = std::make_shared<std::vector<std::string>>();
    CLI::App* command = app.add_subcommand("show", "Print glyph files as rows of # and .");
    command->add_option("FILE", *files, "glyph files")->required()->type_name("");
    command->footer(
        "For each file a line FILE: width W, then its 7 rows, # for a set pixel and . for a "
        "clear one.\n\nExample: glyphtool show font/A.dat");

    return {command, [files] {
                int status = 0;
                bool first = true;
                for (const std::string& file : *files) {
                    const font::GlyphFileInspection inspection = font::InspectGlyphFile(file);
                    if (!inspection.glyph) {
                        Report(font::Display(file) + ": " + inspection.FirstError());
                        status = 1;
                        continue;
                    }
                    font::PixelLine line;
                    line.Append(*inspection.glyph);
                    std::cout << (first ? "" : "\n") << font::Display(file) << ": width "
                              << inspection.glyph->width << '\n'
                              << line.Art();
                    first = false;
                }
                return status;
            }};
}
