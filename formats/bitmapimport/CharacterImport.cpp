#include "formats/bitmapimport/CharacterImport.h"

#include "font/Unicode.h"

namespace font {

std::optional<char32_t> CharacterImport::Admit(unsigned long code) {
    const std::optional<char32_t> cp = codes_.CodePoint(code);
    if (!cp) {
        if (codes_.WantsAll())
            Skip(codes_.Label(code) + " has no character in " + codes_.charset()->Name());
        return std::nullopt;
    }
    if (!codes_.Wanted(*cp)) return std::nullopt;
    if (!IsScalarValue(*cp)) {
        Skip(CodePointLabel(*cp) + " is not a Unicode character");
        return std::nullopt;
    }
    if (!imported_.insert(*cp).second) {
        Skip(DescribeCharacter(*cp) + " has a second glyph");
        return std::nullopt;
    }
    return cp;
}

void CharacterImport::Keep(char32_t cp, long width, const BitmapView* bitmap, long left, long top) {
    std::optional<Glyph> glyph = report_.Start(name_, cp, width);
    if (!glyph) return;
    const std::int64_t dropped = bitmap ? DrawBitmap(*bitmap, *glyph, left, top) : 0;
    report_.Keep(name_, std::move(*glyph), dropped);
}

}  // namespace font
