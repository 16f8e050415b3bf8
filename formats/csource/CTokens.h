#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace font {

// One C token as the header reader needs it: names, whole numbers (the value
// of a character constant too), strings without their text, and punctuators.
struct CToken {
    enum class Kind { Identifier, Number, Character, String, Punct, End };
    Kind kind = Kind::End;
    std::string text;        // the identifier or punctuator
    std::int64_t value = 0;  // a number's or a character constant's value
    bool isUnsigned = false;
    bool isWhole = true;      // false for a floating constant, whose value is not kept
    bool singleChar = false;  // a character constant of one character, 'F'
    int line = 0;
};

// A place in C text whose lines end in '\n' alone.
struct CCursor {
    std::string_view text;
    std::size_t pos = 0;
    int line = 1;

    bool AtEnd() const { return pos >= text.size(); }
    bool Starts(std::string_view what) const { return text.substr(pos).starts_with(what); }
};

// Raises Failure("line N: what").
[[noreturn]] void RefuseAt(int line, const std::string& what);

// Reads the token that starts at the cursor (not at a space or a comment).
// Raises Failure ("line N: …") for a literal that does not end or a number
// that C does not have.
CToken ScanToken(CCursor& at);

// Past a block comment that starts at the cursor, counting its lines; its text.
std::string_view SkipBlockComment(CCursor& at);

// To the '\n' that ends a line comment starting at the cursor, over lines
// joined by a backslash; its text.
std::string_view SkipLineComment(CCursor& at);

// Past "\\\n" at the cursor, which joins two lines into one; false when the
// cursor is not at one.
bool SkipLineJoin(CCursor& at);

// Past a quoted literal at the cursor without reading it, to its closing
// quote or to the end of its line, as a compiler passes over one in a group
// it does not compile.
void SkipQuoted(CCursor& at);

}  // namespace font
