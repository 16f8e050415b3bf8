#include "formats/csource/CHeaderFontReading.h"

#include <algorithm>
#include <cctype>

#include "formats/csource/HeaderFonts.h"

namespace formats {
namespace {

// The largest C header read as a font: four times the text of a table of
// all 65,536 codes, which bounds the memory a header takes.
constexpr std::size_t MaxHeaderSize = std::size_t{32} << 20;

// A macro as a compiler's -D takes it: NAME or NAME=VALUE.
std::optional<std::string> MacroRefusal(std::string_view define) {
    const std::string name(define.substr(0, define.find('=')));
    const bool valid = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) &&
                       std::all_of(name.begin(), name.end(), [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                       });
    if (valid) return std::nullopt;
    return "'" + name + "' is not a C macro name";
}

font::OptionSpec DefineOption() {
    font::OptionSpec define = font::OptionSpec::Text(
        "--define", "NAME[=VALUE]",
        "a macro for a header's #if and initialisers, as a C compiler's -D: NAME is 1 "
        "(repeatable)");
    define.alias = "-D";
    define.refusal = MacroRefusal;
    define.repeatable = true;
    return define;
}

}  // namespace

const font::OptionGroup& CHeaderFontOptions() {
    static const font::OptionGroup group{
        {font::OptionSpec::Integer("--ascent",
                                   "a GFX header's rows above the baseline, 0 to 7 (default: the "
                                   "one export gfx wrote, else the font's highest top; its "
                                   "highest ink when those cut its glyphs)",
                                   0, 7),
         font::OptionSpec::Text("--font", "NAME", "which font of a header holding several"),
         DefineOption()},
        "--ascent, --font and --define are for C headers"};
    return group;
}

std::optional<font::ImportReport> ReadCHeaderFont(const font::FontFile& file,
                                                  const font::ReadOptions& options,
                                                  std::string_view source) {
    const std::string_view text = file.Text();
    if (!file.whole || text.size() > MaxHeaderSize)
        throw font::NotThisFormat("and larger than the " + std::to_string(MaxHeaderSize >> 20) +
                                  " MiB a C header may take");
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        throw font::NotThisFormat(
            "nor text (a NUL byte on line " +
            std::to_string(std::count(text.begin(), text.begin() + static_cast<long>(nul), '\n') +
                           1) +
            ")");
    auto report = font::ImportHeaderFont(
        text, file.name,
        {options.ranges, options.values.Integer("--ascent"),
         options.values.Text("--font").value_or(""), options.values.All("--define")});
    if (!report || !report->source.starts_with(source)) return std::nullopt;
    return report;
}

}  // namespace formats
