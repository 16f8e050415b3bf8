#include "formats/bitmapimport/CharacterCodes.h"

#include <algorithm>

#include "font/NumberText.h"
#include "font/Unicode.h"

namespace font {
namespace {

char32_t AsCodePoint(unsigned long code) {
    return static_cast<char32_t>(std::min<unsigned long>(code, 0xFFFFFFFF));
}

}  // namespace

std::optional<char32_t> CharacterCodes::CodePoint(unsigned long code) const {
    return charset_ ? charset_->ToUnicode(code) : std::optional<char32_t>(AsCodePoint(code));
}

std::string CharacterCodes::Label(unsigned long code) const {
    if (!charset_) return CodePointLabel(AsCodePoint(code));
    return "code 0x" + HexText(static_cast<unsigned>(code), 2);
}

}  // namespace font
