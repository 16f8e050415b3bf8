#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "font/Glyph.h"

namespace font {

// Pieces of C source that every header writer shares.

// Whether `name` can name or prefix C identifiers: letters, digits and '_',
// not starting with a digit, nor with a name reserved to the C implementation
// ("__", or "_" and a letter, which an upper-case macro makes a capital).
bool IsCIdentifier(std::string_view name);

// Whether `name` is a C or C++ keyword, which cannot name a table itself.
bool IsCKeyword(std::string_view name);

// `text` made into such a name: every other character becomes '_', and a name
// that would start with a digit, be reserved or be empty gets a "font_" prefix.
std::string CIdentifierFrom(std::string_view text);

// "0x41": the value in hexadecimal, at least `digits` digits.
std::string CHex(unsigned value, int digits);

// The character as a C character literal spells it ('A', '\\', '\u200B'), so
// that nothing in it can close a comment or break its line.
std::string CCharacterLiteral(char32_t cp);

// "U+0041 'A'": the character as a comment names it.
std::string CommentName(char32_t cp);

// "0x41 'A'", with " (no glyph)" for a hole: the comment after a table entry.
std::string EntryComment(char32_t cp, bool hole);

// A glyph as one byte a column from the left, row r in bit r.
std::vector<std::uint8_t> ColumnBytes(const Glyph& glyph);

// Writes `count` values of an array initialiser, `perLine` to a line, each
// followed by a comma (C99 allows the last one). `format(i)` gives value i,
// or `format(out, i)` adds it to `out`.
template <typename Format>
void AppendList(std::string& out, std::size_t count, std::size_t perLine, Format format) {
    for (std::size_t i = 0; i < count; ++i) {
        out += i % perLine == 0 ? "    " : " ";
        if constexpr (std::is_invocable_v<Format, std::string&, std::size_t>)
            format(out, i);
        else
            out += format(i);
        out += ',';
        if (i % perLine == perLine - 1 || i + 1 == count) out += '\n';
    }
}

// The same for bytes written as 0xHH, built a line at a time: the tables
// of bitmaps, the bulk of a header.
void AppendHexBytes(std::string& out, std::span<const std::uint8_t> bytes, std::size_t perLine);

}  // namespace font
