#include <iostream>
#include <memory>

#include "font/Failure.h"
#include "font/FontFolder.h"
#include "font/OutputFile.h"
#include "font/PixelLine.h"
#include "font/Unicode.h"
#include "glyphtool/OptionGroups.h"
#include "glyphtool/Verb.h"
#include "picture/Png.h"

Verb AddRender(CLI::App& app) {
    struct Options {
        std::string dir, text, out;
        int scale = 8;
        int spacing = 0;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand("render", "Set text in a font folder's glyphs.");
    command->add_option("DIR", options->dir, "the font folder")->required()->type_name("");
    command->add_option("TEXT", options->text, "the text to set")->required()->type_name("");
    AddOutputOption(command, options->out, "write a PNG here (- for standard output)", "OUT.png",
                    /*required=*/false);
    command->add_option("--scale", options->scale, "PNG pixels a glyph pixel, 1 to 64 (default 8)")
        ->check(CLI::Range(1, 64));
    command
        ->add_option("--spacing", options->spacing,
                     "blank columns between glyphs, 0 to 16 (default 0: widths include the gap)")
        ->check(CLI::Range(0, 16));
    command->footer(
        "Sets TEXT (UTF-8) glyph after glyph and prints its 7 rows as # and ., or with -o "
        "writes a black-on-white PNG, each glyph pixel a square of --scale pixels.\n\n"
        "Example: glyphtool render 5x7 'Hello' -o hello.png --scale 4");
    return {command, [options] {
                const auto text = font::DecodeUtf8(options->text);
                if (!text) throw UsageError("TEXT is not valid UTF-8");
                const font::FolderListing listing = font::ListFontFolder(options->dir);
                const font::Font font = font::LoadFontFolder(listing);
                const font::PixelLine line =
                    font::SetText(font, *text, options->spacing, font::Display(options->dir));
                // Nothing to draw fails alike as text and as a picture.
                if (line.Columns() == 0) throw font::Failure("the text has no columns to draw");
                if (options->out.empty()) {
                    std::cout << line.Art();
                    return 0;
                }
                font::RefuseOutputOverInput(options->out, listing);
                const auto png = font::EncodePng(line, options->scale);
                font::WriteOutputFile(options->out, png);
                return 0;
            }};
}
