#include <filesystem>
#include <memory>

#include "font/Bdf.h"
#include "font/CHeader.h"
#include "font/Failure.h"
#include "font/FontFolder.h"
#include "font/GfxFont.h"
#include "font/Max72xxFont.h"
#include "font/OutputFile.h"
#include "glyphtool/CharRanges.h"
#include "glyphtool/FolderInput.h"
#include "glyphtool/Messages.h"
#include "glyphtool/OptionGroups.h"
#include "glyphtool/Verb.h"

namespace {

namespace fs = std::filesystem;

void AddOutput(CLI::App* command, std::string& out, const char* placeholder) {
    AddOutputOption(command, out, "the file to write, or - for standard output", placeholder);
}

Verb AddExportC(CLI::App& parent) {
    struct Options {
        std::string dir, out, name, layout = "rows";
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = parent.add_subcommand("c", "Write the folder as a C header.");
    command->add_option("DIR", options->dir, "the font folder")->required()->type_name("");
    AddOutput(command, options->out, "OUT.h");
    command
        ->add_option(
            "--name", options->name,
            "the tables' prefix, a C identifier (default: the folder's name made into one)")
        ->type_name("IDENT")
        ->check(Checked(font::IsCIdentifier, "a C identifier"));
    command
        ->add_option("--layout", options->layout,
                     "rows: each glyph's bitmap bytes as in its file (7, or 14 from width 9); "
                     "columns: one byte a column, row r in bit r (default rows)")
        ->check(CLI::IsMember({"rows", "columns"}));
    command->footer(
        "One header, valid C99 and C++: NAME_HEIGHT, NAME_COUNT and the tables name_codepoints "
        "(ascending), name_widths, name_offsets and name_bitmap.\n\n"
        "Example: glyphtool export c 5x7 -o font5x7.h --name font5x7 --layout columns");
    return {command, [options] {
                const font::Font font = LoadFolderFont(options->dir, options->out);
                const std::string name = options->name.empty()
                                             ? font::CIdentifierFrom(FolderName(options->dir))
                                             : options->name;
                const auto layout =
                    options->layout == "columns" ? font::CLayout::Columns : font::CLayout::Rows;
                font::WriteOutputFile(options->out, font::WriteCHeader(font, name, layout));
                return 0;
            }};
}

Verb AddExportBdf(CLI::App& parent) {
    struct Options {
        std::string dir, out, family;
        int ascent = 6;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = parent.add_subcommand("bdf", "Write the folder as a BDF font.");
    command->add_option("DIR", options->dir, "the font folder")->required()->type_name("");
    AddOutput(command, options->out, "OUT.bdf");
    command
        ->add_option("--family", options->family,
                     "the family name (default: the folder's name); 1 to 199 characters of "
                     "printable ASCII without - * ? , \"")
        ->type_name("NAME")
        ->check(Checked(font::IsBdfFamily, "a usable family name"));
    AddAscentOption(command, options->ascent);
    command->footer(
        "A BDF 2.1 font: each glyph under its code point, its width as its advance, the "
        "baseline under row ascent - 1.\n\nExample: glyphtool export bdf 5x7 -o 5x7.bdf "
        "--family Tiny");
    return {command, [options] {
                const font::Font font = LoadFolderFont(options->dir, options->out);
                const std::string family = options->family.empty()
                                               ? font::BdfFamilyFrom(FolderName(options->dir))
                                               : options->family;
                font::WriteOutputFile(options->out, font::WriteBdf(font, family, options->ascent));
                return 0;
            }};
}

// What the two display-library formats share: the folder, the header, the
// font's name and the characters it takes.
struct FirmwareOptions {
    std::string dir, out, name;
    std::vector<std::string> chars;

    void Add(CLI::App* command) {
        command->add_option("DIR", dir, "the font folder")->required()->type_name("");
        AddOutput(command, out, "OUT.h");
        command
            ->add_option("--name", name,
                         "the font's name, a C identifier (default: the folder's name made into "
                         "one)")
            ->type_name("IDENT")
            ->check(Checked(
                [](std::string_view text) {
                    return font::IsCIdentifier(text) && !font::IsCKeyword(text);
                },
                "a C identifier"));
        AddCharsOption(command, chars,
                       "only these characters: 0x20-0x7E, U+3040-U+309F, 65 (repeatable; default "
                       "every glyph of the folder)");
    }
    std::string Name() const {
        return name.empty() ? font::CIdentifierFrom(FolderName(dir)) : name;
    }
    std::vector<font::CharRange> Ranges() const {
        std::vector<font::CharRange> ranges;
        for (const std::string& text : chars) ranges.push_back(*ParseCharRange(text));
        return ranges;
    }
};

int WriteFirmwareHeader(const std::string& out, const font::FirmwareHeader& header) {
    for (const std::string& warning : header.warnings) Warn(warning);
    font::WriteOutputFile(out, header.text);
    return 0;
}

Verb AddExportGfx(CLI::App& parent) {
    struct Options : FirmwareOptions {
        int ascent = 6;
        int lineHeight = 8;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command =
        parent.add_subcommand("gfx", "Write the folder as an Adafruit GFX font header.");
    options->Add(command);
    AddAscentOption(command, options->ascent);
    command
        ->add_option("--line-height", options->lineHeight,
                     "the font's yAdvance, 1 to 255 (default 8)")
        ->check(CLI::Range(1, 255));
    command->footer(
        "A header in the form of the fonts that ship with the Adafruit GFX library: NAMEBitmaps, "
        "NAMEGlyphs and the GFXfont NAME for setFont(), over the run of codes from the first "
        "character to the last. Each glyph is the box of its set pixels, its width the "
        "advance.\n\nExample: glyphtool export gfx 5x7 -o Font5x7.h --chars 0x20-0x7E");
    return {command, [options] {
                const font::Font font = LoadFolderFont(options->dir, options->out);
                return WriteFirmwareHeader(
                    options->out,
                    font::WriteGfxHeader(font, {options->Name(), options->ascent,
                                                options->lineHeight, options->Ranges()}));
            }};
}

Verb AddExportMax72xx(CLI::App& parent) {
    struct Options : FirmwareOptions {
        int height = 8;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = parent.add_subcommand(
        "max72xx", "Write the folder as an MD_MAX72XX font table (MAX7219 LED matrices).");
    options->Add(command);
    command
        ->add_option("--height", options->height,
                     "the height the table declares, 1 to 255 (default 8, a module's)")
        ->check(CLI::Range(1, 255));
    command->footer(
        "A font table for setFont() of MD_MAX72XX and MD_Parola: 'F', its version, the first "
        "and last code and the height, then each code's width and one byte a column, the top "
        "row in bit 0.\n\nExample: glyphtool export max72xx 5x7 -o font5x7.h --chars 0x20-0x7E");
    return {command, [options] {
                const font::Font font = LoadFolderFont(options->dir, options->out);
                return WriteFirmwareHeader(
                    options->out, font::WriteMax72xxHeader(
                                      font, {options->Name(), options->height, options->Ranges()}));
            }};
}

}  // namespace

void AddExport(CLI::App& app, std::vector<Verb>& verbs) {
    CLI::App* command = app.add_subcommand(
        "export", "Write a font folder as a C header, a BDF font, or a display library's font.");
    command->require_subcommand(1);
    verbs.push_back(AddExportC(*command));
    verbs.push_back(AddExportBdf(*command));
    verbs.push_back(AddExportGfx(*command));
    verbs.push_back(AddExportMax72xx(*command));
}
