#include "formats/csource/CHeaderFontReading.h"

#include <algorithm>
#include <cctype>

#include "font/Failure.h"

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

// Every kind a reader has been made for, in the order they were.
std::vector<const HeaderFontKind*>& Kinds() {
    static std::vector<const HeaderFontKind*> kinds;
    return kinds;
}

struct FoundFont {
    const HeaderFontKind* kind;
    const font::CDeclaration* declaration;
};

// The fonts a header holds, in the order it declares them: those declared
// by their type, or when there are none, those that their bytes show.
std::vector<FoundFont> FindFonts(const font::CSource& source) {
    std::vector<FoundFont> fonts;
    const auto find = [&](auto holds) {
        for (const font::CDeclaration& d : source.declarations)
            for (const HeaderFontKind* kind : Kinds())
                if (holds(*kind, d)) {
                    fonts.push_back({kind, &d});
                    break;
                }
    };
    find([](const HeaderFontKind& kind, const font::CDeclaration& d) {
        return d.value.kind == font::CValue::Kind::List && kind.declares(d);
    });
    if (fonts.empty())
        find([](const HeaderFontKind& kind, const font::CDeclaration& d) {
            return kind.holdsByBytes != nullptr && kind.holdsByBytes(d);
        });
    return fonts;
}

std::string Names(const std::vector<FoundFont>& fonts) {
    std::string names;
    for (const FoundFont& font : fonts)
        names += (names.empty() ? "" : ", ") + font.declaration->name;
    return names;
}

bool MentionsFont(std::string_view text) {
    for (const HeaderFontKind* kind : Kinds())
        for (const std::string_view word : kind->words)
            if (text.find(word) != std::string_view::npos) return true;
    return false;
}

// The one font of `fonts` that is read: the one --font names, else the only one.
FoundFont Chosen(const std::vector<FoundFont>& fonts, const std::string& fileName,
                 const std::string& fontName) {
    if (!fontName.empty()) {
        const auto chosen = std::find_if(fonts.begin(), fonts.end(), [&](const FoundFont& f) {
            return f.declaration->name == fontName;
        });
        if (chosen == fonts.end())
            throw font::Failure(fileName + ": holds no font " + fontName + "; it holds " +
                                Names(fonts));
        return *chosen;
    }
    if (fonts.size() > 1)
        throw font::Failure(fileName + ": holds " + std::to_string(fonts.size()) + " fonts (" +
                            Names(fonts) + "); --font NAME picks one");
    return fonts.front();
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

std::optional<font::ImportReport> ReadHeaderFont(std::string_view text, const std::string& fileName,
                                                 const font::HeaderImportOptions& options,
                                                 const HeaderFontKind& kind) {
    font::CSource source;
    try {
        source = font::ReadCSource(text, options.defines);
    } catch (const font::Failure& failure) {
        if (!MentionsFont(text)) return std::nullopt;
        throw font::Failure(fileName + ": " + failure.what());
    }
    const std::vector<FoundFont> fonts = FindFonts(source);
    if (fonts.empty()) {
        if (MentionsFont(text) && !source.problem.empty())
            throw font::Failure(fileName + ": " + source.problem);
        return std::nullopt;
    }
    const FoundFont chosen = Chosen(fonts, fileName, options.fontName);
    if (chosen.kind != &kind) return std::nullopt;
    return kind.read(font::HeaderTables(source, fileName, options), *chosen.declaration);
}

font::FontReader CHeaderFontReader(const HeaderFontKind& kind, std::string fileKind,
                                   std::string help) {
    if (std::find(Kinds().begin(), Kinds().end(), &kind) == Kinds().end()) Kinds().push_back(&kind);
    const auto read = [&kind](const font::FontFile& file, const font::ReadOptions& options) {
        const std::string_view text = file.Text();
        if (!file.whole || text.size() > MaxHeaderSize)
            throw font::NotThisFormat("and larger than the " + std::to_string(MaxHeaderSize >> 20) +
                                      " MiB a C header may take");
        if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
            throw font::NotThisFormat(
                "nor text (a NUL byte on line " +
                std::to_string(
                    std::count(text.begin(), text.begin() + static_cast<long>(nul), '\n') + 1) +
                ")");
        return ReadHeaderFont(
            text, file.name,
            {options.ranges, options.values.Integer("--ascent"),
             options.values.Text("--font").value_or(""), options.values.All("--define")},
            kind);
    };
    return {std::move(fileKind), std::move(help), {&CHeaderFontOptions()}, read};
}

}  // namespace formats
