#include <filesystem>
#include <memory>

#include "font/Bdf.h"
#include "font/CHeader.h"
#include "font/Failure.h"
#include "font/FontFolder.h"
#include "font/OutputFile.h"
#include "glyphtool/OptionGroups.h"
#include "glyphtool/Verb.h"

namespace {

namespace fs = std::filesystem;

// The folder's own name, also for "." or a path ending in a slash.
std::string FolderName(const std::string& dir) {
    std::error_code error;
    fs::path path = fs::absolute(dir, error).lexically_normal();
    if (path.filename().empty()) path = path.parent_path();
    return path.filename().string();
}

// The folder's font, refused when empty or when `out` is one of its files.
font::Font LoadForExport(const std::string& dir, const std::string& out) {
    font::Font font = font::LoadFontFolder(dir);
    if (font.glyphs.empty()) throw font::Failure(font::Display(dir) + ": holds no glyph files");
    font::RefuseOutputOverInput(out, font::GlyphFilesIn(dir));
    return font;
}

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
                const font::Font font = LoadForExport(options->dir, options->out);
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
    command->add_option("--ascent", options->ascent, "rows above the baseline, 0 to 7 (default 6)")
        ->check(CLI::Range(0, 7));
    command->footer(
        "A BDF 2.1 font: each glyph under its code point, its width as its advance, the "
        "baseline under row ascent - 1.\n\nExample: glyphtool export bdf 5x7 -o 5x7.bdf "
        "--family Tiny");
    return {command, [options] {
                const font::Font font = LoadForExport(options->dir, options->out);
                const std::string family = options->family.empty()
                                               ? font::BdfFamilyFrom(FolderName(options->dir))
                                               : options->family;
                font::WriteOutputFile(options->out, font::WriteBdf(font, family, options->ascent));
                return 0;
            }};
}

}  // namespace

void AddExport(CLI::App& app, std::vector<Verb>& verbs) {
    CLI::App* command =
        app.add_subcommand("export", "Write a font folder as a C header or a BDF font.");
    command->require_subcommand(1);
    verbs.push_back(AddExportC(*command));
    verbs.push_back(AddExportBdf(*command));
}
