#include "formats/bdf/BdfReader.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "font/Failure.h"
#include "font/FontFormat.h"
#include "font/FontLimits.h"
#include "formats/bdf/BdfParse.h"
#include "formats/bitmapimport/BdfBoxes.h"
#include "formats/bitmapimport/BdfGlyphCodes.h"
#include "formats/bitmapimport/CharacterImport.h"
#include "formats/bitmapimport/LostBdfGlyphs.h"
#include "formats/bitmapimport/StrikeChoice.h"
#include "formats/bitmapimport/X11Charmap.h"

namespace font {
namespace {

// FreeType's map of a BDF face stops after 65,535 glyphs.
constexpr std::size_t MappedGlyphs = 65535;

// The charset FreeType leaves a font's codes in when it gives no Unicode map.
X11Charmap CharmapOf(const BdfFont& font, const std::string& fileName) {
    if (font.registry && font.encoding && HasUnicodeMap(*font.registry, *font.encoding)) return {};
    if (!font.registry || !font.encoding) return ChooseX11Charmap(fileName, nullptr, nullptr);
    const std::string registry(*font.registry), encoding(*font.encoding);
    return ChooseX11Charmap(fileName, registry.c_str(), encoding.c_str());
}

ImportReport Import(const BdfFont& font, std::string_view text, const std::string& fileName,
                    const std::vector<CharRange>& ranges) {
    ImportReport report;
    X11Charmap map = CharmapOf(font, fileName);
    const CharacterCodes codes(map.charset ? &*map.charset : nullptr, ranges);
    const std::span<const BdfGlyph> mapped(font.glyphs.data(),
                                           std::min(font.glyphs.size(), MappedGlyphs));

    InkRows all, wanted;
    for (const BdfGlyph& glyph : mapped) {
        const InkRows ink = InkOf(font.View(glyph), -glyph.top);
        all.Add(ink);
        const std::optional<char32_t> cp = codes.CodePoint(static_cast<unsigned long>(glyph.code));
        if (cp && codes.Wanted(*cp)) wanted.Add(ink);
    }
    const int declaredTop = static_cast<int>(-font.ascent);
    // FreeType takes a negative height as its size.
    const int height = static_cast<int>(std::labs(font.ascent + font.descent));
    StrikeChoice choice;
    std::optional<int> top = choice.Judge(0, height, declaredTop, all, wanted, codes.WantsAll());
    if (!top && !choice.Clipped()) throw Failure(fileName + ": " + choice.NoneFits());
    if (!top) top = declaredTop;

    report.source = "its " + std::to_string(height) + "-pixel strike" +
                    (map.charset ? " in " + map.charset->Name() : "");
    report.warnings = std::move(map.warnings);
    SayStrikeRows(report, fileName, height, *top, declaredTop);

    CharacterImport characters(fileName, codes, report);
    for (const BdfGlyph& glyph : mapped) {
        if (const std::optional<char32_t> cp =
                characters.Admit(static_cast<unsigned long>(glyph.code))) {
            const BitmapView view = font.View(glyph);
            characters.Keep(*cp, glyph.advance, &view, glyph.left, -*top - glyph.top);
        }
    }
    // Without glyphs past FreeType's map, every glyph with a code is reached,
    // and those without one are all that is lost; past it, every glyph is
    // looked at, as the FreeType reader looks at them.
    if (mapped.size() == font.glyphs.size()) {
        SkipLostBdfGlyphs(font.uncoded, {}, characters);
    } else {
        std::vector<unsigned long> reached;
        reached.reserve(mapped.size());
        for (const BdfGlyph& glyph : mapped)
            reached.push_back(static_cast<unsigned long>(glyph.code));
        SkipLostBdfGlyphs(ReadBdfGlyphCodes(text), reached, characters);
    }
    std::sort(report.font.glyphs.begin(), report.font.glyphs.end(),
              [](const Glyph& a, const Glyph& b) { return a.codePoint < b.codePoint; });
    return report;
}

}  // namespace

bool HasUnicodeMap(std::string_view registry, std::string_view encoding) {
    if (registry.size() < 3) return false;
    for (std::size_t i = 0; i < 3; ++i)
        if ((registry[i] | 0x20) != "iso"[i]) return false;
    const std::string_view number = registry.substr(3);
    return number == "10646" || (number == "8859" && encoding == "1") ||
           (number == "646.1991" && encoding == "IRV");
}

std::optional<ImportReport> ReadBdfFont(const FontFile& file,
                                        const std::vector<CharRange>& ranges) {
    if (!IsBdf(file.bytes)) return std::nullopt;
    if (!file.whole || file.bytes.size() > MaxFontBytes)
        throw NotThisFormat("and larger than the " + std::to_string(MaxFontBytes >> 20) +
                            " MiB it reads");
    try {
        return Import(ParseBdf(file.Text(), file.name), file.Text(), file.name, ranges);
    } catch (const UnsureBdf& unsure) {
        throw NotThisFormat(std::string("but a form left to FreeType (") + unsure.what() +
                            "): --from freetype reads it");
    } catch (const std::bad_alloc&) {
        throw Failure(file.name + ": not enough memory to read it");
    }
}

}  // namespace font
