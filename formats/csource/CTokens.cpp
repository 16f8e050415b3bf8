#include "formats/csource/CTokens.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "font/Failure.h"
#include "font/Unicode.h"

namespace font {
namespace {

bool IsIdentifierStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The characters of a preprocessing number: digits, letters, '.', digit
// separators and the sign of an exponent.
std::string_view NumberText(CCursor& at) {
    const std::size_t start = at.pos;
    while (!at.AtEnd()) {
        const char c = at.text[at.pos];
        const char before = at.pos > start ? at.text[at.pos - 1] : '\0';
        if (IsIdentifierChar(c) || c == '.')
            ++at.pos;
        else if ((c == '+' || c == '-') &&
                 std::string_view("eEpP").find(before) != std::string_view::npos)
            ++at.pos;
        else if (c == '\'' && at.pos + 1 < at.text.size() && IsIdentifierChar(at.text[at.pos + 1]))
            ++at.pos;  // a C++14 digit separator
        else
            break;
    }
    return at.text.substr(start, at.pos - start);
}

CToken NumberLiteral(CCursor& at) {
    const int line = at.line;
    const std::string_view text = NumberText(at);
    CToken token{CToken::Kind::Number, "", 0, false, true, false, line};
    std::size_t i = 0;
    int base = 10;
    const auto lower = [&](std::size_t k) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(text[k])));
    };
    if (text.size() > 1 && text[0] == '0' && (lower(1) == 'x' || lower(1) == 'b'))
        base = lower(1) == 'x' ? 16 : 2, i = 2;
    else if (text[0] == '0')
        base = 8;
    const bool floating =
        text.find('.') != std::string_view::npos ||
        (base == 16 ? text.find_first_of("pP") != std::string_view::npos
                    : base != 2 && text.find_first_of("eE") != std::string_view::npos);
    if (floating) {
        token.isWhole = false;
        return token;
    }
    std::uint64_t value = 0;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const char d = lower(i);
        if (d == '\'') continue;
        int digit = -1;
        if (d >= '0' && d <= '9') digit = d - '0';
        if (d >= 'a' && d <= 'f' && base == 16) digit = d - 'a' + 10;
        if (digit < 0) break;
        if (digit >= base) RefuseAt(line, "a digit that its number's base does not have");
        if (value > (std::uint64_t{1} << 56)) RefuseAt(line, "a number too large");
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        digits = true;
    }
    if (!digits && base != 8) RefuseAt(line, "a number without digits");
    for (; i < text.size(); ++i) {
        const char s = lower(i);
        if (s == 'u')
            token.isUnsigned = true;
        else if (s != 'l' && s != 'z')
            RefuseAt(line, "a number that is not a whole number");
    }
    token.value = static_cast<std::int64_t>(value);
    return token;
}

// One character of a literal, its escapes resolved.
std::uint32_t LiteralCharacter(CCursor& at) {
    const std::string_view text = at.text;
    if (at.AtEnd() || text[at.pos] == '\n') RefuseAt(at.line, "a literal does not end");
    if (text[at.pos] != '\\') {
        // A character beyond ASCII stands for its code point.
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(text[at.pos]);
        if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const auto decoded = DecodeUtf8(text.substr(at.pos, length));
        at.pos += std::min(length, text.size() - at.pos);
        return decoded && decoded->size() == 1 ? static_cast<std::uint32_t>(decoded->front())
                                               : lead;
    }
    ++at.pos;
    if (at.AtEnd()) RefuseAt(at.line, "a literal does not end");
    const char e = text[at.pos++];
    static constexpr std::array<std::pair<char, char>, 11> simple = {{{'n', '\n'},
                                                                      {'t', '\t'},
                                                                      {'r', '\r'},
                                                                      {'a', '\a'},
                                                                      {'b', '\b'},
                                                                      {'f', '\f'},
                                                                      {'v', '\v'},
                                                                      {'\\', '\\'},
                                                                      {'\'', '\''},
                                                                      {'"', '"'},
                                                                      {'?', '?'}}};
    for (const auto& [name, value] : simple)
        if (e == name) return static_cast<unsigned char>(value);
    if (e == 'x' || e == 'u' || e == 'U') {
        const int most = e == 'x' ? 8 : e == 'u' ? 4 : 8;
        std::uint32_t value = 0;
        int count = 0;
        while (count < most && !at.AtEnd() &&
               std::isxdigit(static_cast<unsigned char>(text[at.pos]))) {
            const char h =
                static_cast<char>(std::tolower(static_cast<unsigned char>(text[at.pos++])));
            value = value * 16 + static_cast<std::uint32_t>(h <= '9' ? h - '0' : h - 'a' + 10);
            ++count;
        }
        if (count == 0) RefuseAt(at.line, "an escape without digits");
        return value;
    }
    if (e >= '0' && e <= '7') {
        std::uint32_t value = static_cast<std::uint32_t>(e - '0');
        for (int count = 1; count < 3 && !at.AtEnd() && text[at.pos] >= '0' && text[at.pos] <= '7';
             ++count)
            value = value * 8 + static_cast<std::uint32_t>(text[at.pos++] - '0');
        return value;
    }
    RefuseAt(at.line, "an escape C does not have");
}

// 'A' is 65; 'GFX1', as compilers read a constant of several characters,
// is their bytes from the most significant down, in an int.
CToken CharacterLiteral(CCursor& at) {
    CToken token{CToken::Kind::Character, "", 0, false, true, false, at.line};
    ++at.pos;  // the opening quote
    if (!at.AtEnd() && at.text[at.pos] == '\'') RefuseAt(at.line, "an empty character literal");
    std::uint32_t value = 0;
    int count = 0;
    while (at.AtEnd() || at.text[at.pos] != '\'') {
        const std::uint32_t c = LiteralCharacter(at);
        value = count == 0 ? c : value << 8 | (c & 0xFF);
        ++count;
    }
    ++at.pos;
    token.singleChar = count == 1;
    token.value = count == 1 ? static_cast<std::int64_t>(value)
                             : static_cast<std::int64_t>(static_cast<std::int32_t>(value));
    return token;
}

CToken StringLiteral(CCursor& at) {
    const int line = at.line;
    ++at.pos;
    while (at.AtEnd() || at.text[at.pos] != '"') LiteralCharacter(at);
    ++at.pos;
    return {CToken::Kind::String, "", 0, false, true, false, line};
}

// R"delimiter( … )delimiter", which may span lines and holds no escapes.
CToken RawStringLiteral(CCursor& at) {
    const int line = at.line;
    const std::size_t open = at.text.find('(', at.pos);
    const std::size_t lineEnd = at.text.find('\n', at.pos);
    if (open == std::string_view::npos || open > lineEnd || open - at.pos > 17)
        RefuseAt(line, "a raw string without its '('");
    const std::string close =
        ")" + std::string(at.text.substr(at.pos + 1, open - at.pos - 1)) + "\"";
    const std::size_t end = at.text.find(close, open + 1);
    if (end == std::string_view::npos) RefuseAt(line, "a raw string does not end");
    at.line += static_cast<int>(std::count(at.text.begin() + static_cast<long>(at.pos),
                                           at.text.begin() + static_cast<long>(end), '\n'));
    at.pos = end + close.size();
    return {CToken::Kind::String, "", 0, false, true, false, line};
}

}  // namespace

void RefuseAt(int line, const std::string& what) {
    throw Failure("line " + std::to_string(line) + ": " + what);
}

CToken ScanToken(CCursor& at) {
    const std::string_view text = at.text;
    const char c = text[at.pos];
    if (IsIdentifierStart(c)) {
        const std::size_t start = at.pos;
        while (!at.AtEnd() && IsIdentifierChar(text[at.pos])) ++at.pos;
        const std::string_view word = text.substr(start, at.pos - start);
        // u'x', U'x', L'x' and u8'x' are character literals; the same before " a
        // string, and with an R after them a raw string.
        if (!at.AtEnd() && (text[at.pos] == '\'' || text[at.pos] == '"')) {
            const bool raw = word.ends_with('R');
            const std::string_view prefix = raw ? word.substr(0, word.size() - 1) : word;
            if (prefix.empty() || prefix == "u" || prefix == "U" || prefix == "L" ||
                prefix == "u8") {
                if (text[at.pos] == '"') return raw ? RawStringLiteral(at) : StringLiteral(at);
                if (!raw) return CharacterLiteral(at);
            }
        }
        return {CToken::Kind::Identifier, std::string(word), 0, false, true, false, at.line};
    }
    if (std::isdigit(static_cast<unsigned char>(c)) ||
        (c == '.' && at.pos + 1 < text.size() &&
         std::isdigit(static_cast<unsigned char>(text[at.pos + 1]))))
        return NumberLiteral(at);
    if (c == '\'') return CharacterLiteral(at);
    if (c == '"') return StringLiteral(at);
    for (const std::string_view two : {"::", "&&", "||", "==", "!=", "<=", ">=", "<<", ">>", "##"})
        if (at.Starts(two)) {
            at.pos += 2;
            return {CToken::Kind::Punct, std::string(two), 0, false, true, false, at.line};
        }
    ++at.pos;
    return {CToken::Kind::Punct, std::string(1, c), 0, false, true, false, at.line};
}

std::string_view SkipBlockComment(CCursor& at) {
    const int startLine = at.line;
    const std::size_t start = at.pos + 2;
    const std::size_t end = at.text.find("*/", start);
    if (end == std::string_view::npos) RefuseAt(startLine, "a comment does not end");
    at.line += static_cast<int>(std::count(at.text.begin() + static_cast<long>(at.pos),
                                           at.text.begin() + static_cast<long>(end), '\n'));
    at.pos = end + 2;
    return at.text.substr(start, end - start);
}

std::string_view SkipLineComment(CCursor& at) {
    const std::size_t start = at.pos + 2;
    at.pos = start;
    while (!at.AtEnd() && at.text[at.pos] != '\n')
        if (!SkipLineJoin(at)) ++at.pos;
    return at.text.substr(start, at.pos - start);
}

bool SkipLineJoin(CCursor& at) {
    if (!at.Starts("\\\n")) return false;
    at.pos += 2;
    ++at.line;
    return true;
}

void SkipQuoted(CCursor& at) {
    const char quote = at.text[at.pos++];
    while (!at.AtEnd() && at.text[at.pos] != '\n') {
        if (SkipLineJoin(at)) continue;
        const char c = at.text[at.pos++];
        if (c == quote) return;
        if (c == '\\' && !at.AtEnd() && at.text[at.pos] != '\n') ++at.pos;
    }
}

}  // namespace font
