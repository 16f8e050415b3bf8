#include "formats/chart/LabelFont.h"

#include <cctype>

#include "font/Unicode.h"

namespace font::label_font {
namespace {

struct Drawn {
    char c;
    const char* rows[Height];
};

// Each character as it is drawn, row by row from the top.
constexpr Drawn Drawing[] = {
    {' ', {"...", "...", "...", "...", "..."}}, {'0', {"###", "#.#", "#.#", "#.#", "###"}},
    {'1', {".#.", "##.", ".#.", ".#.", "###"}}, {'2', {"##.", "..#", ".#.", "#..", "###"}},
    {'3', {"##.", "..#", ".#.", "..#", "##."}}, {'4', {"#.#", "#.#", "###", "..#", "..#"}},
    {'5', {"###", "#..", "##.", "..#", "##."}}, {'6', {".##", "#..", "###", "#.#", "###"}},
    {'7', {"###", "..#", ".#.", ".#.", ".#."}}, {'8', {"###", "#.#", "###", "#.#", "###"}},
    {'9', {"###", "#.#", "###", "..#", "##."}}, {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
    {'B', {"##.", "#.#", "##.", "#.#", "##."}}, {'C', {".##", "#..", "#..", "#..", ".##"}},
    {'D', {"##.", "#.#", "#.#", "#.#", "##."}}, {'E', {"###", "#..", "##.", "#..", "###"}},
    {'F', {"###", "#..", "##.", "#..", "#.."}}, {'G', {".##", "#..", "#.#", "#.#", ".##"}},
    {'H', {"#.#", "#.#", "###", "#.#", "#.#"}}, {'I', {"###", ".#.", ".#.", ".#.", "###"}},
    {'J', {"..#", "..#", "..#", "#.#", ".#."}}, {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'L', {"#..", "#..", "#..", "#..", "###"}}, {'M', {"#.#", "###", "###", "#.#", "#.#"}},
    {'N', {"##.", "#.#", "#.#", "#.#", "#.#"}}, {'O', {".#.", "#.#", "#.#", "#.#", ".#."}},
    {'P', {"##.", "#.#", "##.", "#..", "#.."}}, {'Q', {".#.", "#.#", "#.#", "##.", ".##"}},
    {'R', {"##.", "#.#", "##.", "#.#", "#.#"}}, {'S', {".##", "#..", ".#.", "..#", "##."}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#."}}, {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
    {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}}, {'W', {"#.#", "#.#", "###", "###", "#.#"}},
    {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}}, {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
    {'Z', {"###", "..#", ".#.", "#..", "###"}}, {'+', {"...", ".#.", "###", ".#.", "..."}},
    {'-', {"...", "...", "###", "...", "..."}}, {':', {"...", ".#.", "...", ".#.", "..."}},
    {',', {"...", "...", "...", ".#.", "#.."}}, {'.', {"...", "...", "...", "...", ".#."}},
    {'_', {"...", "...", "...", "...", "###"}}, {'(', {".#.", "#..", "#..", "#..", ".#."}},
    {')', {".#.", "..#", "..#", "..#", ".#."}}, {'/', {"..#", "..#", ".#.", "#..", "#.."}},
    {'?', {"##.", "..#", ".#.", "...", ".#."}},
};

Rows RowsOf(const Drawn& drawn) {
    Rows rows{};
    for (int r = 0; r < Height; ++r)
        for (int c = 0; c < Width; ++c)
            if (drawn.rows[r][c] == '#')
                rows[r] |= static_cast<std::uint8_t>(1u << (Width - 1 - c));
    return rows;
}

}  // namespace

Rows Glyph(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Drawn& drawn : Drawing)
        if (drawn.c == upper) return RowsOf(drawn);
    return Glyph('?');
}

std::optional<char> Character(const Rows& rows) {
    for (const Drawn& drawn : Drawing)
        if (RowsOf(drawn) == rows) return drawn.c;
    return std::nullopt;
}

std::string Spell(std::string_view text) {
    std::u32string characters;
    if (const auto decoded = DecodeUtf8(text))
        characters = *decoded;
    else
        characters.assign(text.begin(), text.end());
    std::string spelt;
    for (const char32_t cp : characters) {
        const char upper = cp < 0x80 ? static_cast<char>(std::toupper(static_cast<int>(cp))) : '?';
        spelt += Character(Glyph(upper)) == upper ? upper : '?';
    }
    return spelt;
}

}  // namespace font::label_font
