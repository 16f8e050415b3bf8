#include "formats/sfnt/NameTables.h"

#include <algorithm>
#include <string_view>

#include "formats/sfnt/BigEndianBytes.h"

namespace font {
namespace {

// Name IDs.
constexpr unsigned Family = 1, Style = 2, Unique = 3, FullName = 4, Version = 5, PostScript = 6;
// Names made by the post table's version 2 besides its 258 standard ones.
constexpr unsigned FirstOwnName = 258;
// Name indices from 32768 up are reserved: a font with more glyphs than the
// names below it has none in post (version 3).
constexpr std::size_t MaxNamedGlyphs = 32768 - FirstOwnName;
constexpr std::size_t MaxPostScriptName = 63;

}  // namespace

std::string PostScriptName(const std::string& family) {
    std::string name;
    for (const char c : family)
        if (c > ' ' && c < 127 && std::string_view("[](){}<>/%").find(c) == std::string_view::npos)
            name += c;
    if (name.empty()) name = "Font";
    const std::string style = "-Regular";
    return name.substr(0, MaxPostScriptName - style.size()) + style;
}

std::vector<std::uint8_t> WriteNameTable(const SfntFont& font) {
    const std::vector<std::pair<unsigned, std::string>> names = {
        {Family, font.family},
        {Style, "Regular"},
        {Unique, "glyphtool: " + font.family + " Regular"},
        {FullName, font.family + " Regular"},
        {Version, "Version 1.000"},
        {PostScript, PostScriptName(font.family)},
    };
    BigEndianBytes strings;
    BigEndianBytes out;
    out.U16(0);
    out.U16(static_cast<unsigned>(names.size()));
    out.U16(static_cast<unsigned>(6 + 12 * names.size()));
    for (const auto& [id, text] : names) {
        out.U16(3);      // Windows
        out.U16(1);      // Unicode BMP, in UTF-16BE
        out.U16(0x409);  // English (United States)
        out.U16(id);
        out.U16(static_cast<unsigned>(text.size() * 2));
        out.U16(static_cast<unsigned>(strings.Size()));
        // Family names are printable ASCII, one UTF-16 unit a character.
        for (const char c : text) strings.U16(static_cast<unsigned char>(c));
    }
    out.Append(strings.Bytes());
    return out.Take();
}

std::vector<std::uint8_t> WritePostTable(const SfntFont& font) {
    const bool monospaced = std::all_of(
        font.glyphs.begin(), font.glyphs.end(),
        [&font](const SfntGlyph& g) { return g.advance == font.glyphs.front().advance; });
    const bool named = font.glyphs.size() <= MaxNamedGlyphs;
    BigEndianBytes out;
    out.U32(named ? 0x00020000 : 0x00030000);
    out.U32(0);  // upright
    // The underline fills the first row under the baseline.
    out.I16(0);
    out.I16(PixelUnits);
    out.U32(monospaced ? 1 : 0);
    for (int i = 0; i < 4; ++i) out.U32(0);  // memory use unknown
    if (!named) return out.Take();
    out.U16(static_cast<unsigned>(font.glyphs.size()));
    BigEndianBytes names;
    unsigned next = FirstOwnName;
    for (const SfntGlyph& glyph : font.glyphs) {
        if (glyph.name == ".notdef") {
            out.U16(0);  // the first standard name
            continue;
        }
        out.U16(next++);
        names.U8(static_cast<unsigned>(glyph.name.size()));
        for (const char c : glyph.name) names.U8(static_cast<unsigned char>(c));
    }
    out.Append(names.Bytes());
    return out.Take();
}

}  // namespace font
