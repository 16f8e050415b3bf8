#include "formats/bitmapimport/LostBdfGlyphs.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "font/Unicode.h"

namespace font {
namespace {

// Which glyphs are the first of their code in the file; codes in rising
// order, as most fonts have them, are looked at once.
std::vector<bool> FirstOfTheirCode(std::span<const BdfGlyphCode> glyphs) {
    std::vector<bool> first(glyphs.size(), true);
    const auto byCode = [](const BdfGlyphCode& a, const BdfGlyphCode& b) {
        return a.code < b.code;
    };
    if (std::adjacent_find(glyphs.begin(), glyphs.end(), [&](const auto& a, const auto& b) {
            return !byCode(a, b);
        }) == glyphs.end())
        return first;
    std::vector<std::size_t> order(glyphs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return byCode(glyphs[a], glyphs[b]); });
    for (std::size_t i = 1; i < order.size(); ++i)
        if (glyphs[order[i]].code == glyphs[order[i - 1]].code) first[order[i]] = false;
    return first;
}

}  // namespace

void SkipLostBdfGlyphs(std::span<const BdfGlyphCode> glyphs, std::span<const unsigned long> reached,
                       CharacterImport& import) {
    const CharacterCodes& codes = import.Codes();
    const std::vector<bool> firsts = FirstOfTheirCode(glyphs);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const BdfGlyphCode& glyph = glyphs[i];
        if (glyph.code < 0) {
            if (codes.WantsAll()) import.Skip("glyph " + Printable(glyph.name) + " has no code");
            continue;
        }
        const auto code = static_cast<unsigned long>(glyph.code);
        const bool first = firsts[i];
        if (first && std::binary_search(reached.begin(), reached.end(), code)) continue;
        const std::optional<char32_t> cp = codes.CodePoint(code);
        if (!cp || !codes.Wanted(*cp)) continue;
        if (!first)
            import.Skip(codes.Label(code) + " has a second glyph (" + Printable(glyph.name) + ")");
        else if (!IsScalarValue(*cp))
            import.Skip(codes.Label(code) + " is not a Unicode character");
        else
            import.Skip(DescribeCharacter(*cp) +
                        " lies beyond the 65,535 glyphs that FreeType reads of a face");
    }
}

}  // namespace font
