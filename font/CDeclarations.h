#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// One value of a C initialiser: a number (from a literal, a character
// literal, unary signs and casts), a name (an address such as
// `(uint8_t *)FooBitmaps`), a string, or a braced list of values, whose
// items may name the member they set.
struct CValue {
    enum class Kind { Number, Name, String, List };
    Kind kind = Kind::Number;
    std::int64_t number = 0;
    bool fromCharacter = false;  // written as a character literal, 'F'
    std::string name;
    std::vector<CValue> items;
    std::string designator;  // "range_start" for an item written `.range_start = 32`
    int line = 0;
};

// A declaration with an initialiser: `const GFXglyph FooGlyphs[] PROGMEM = {…};`
// gives the type words {"GFXglyph"}, the name "FooGlyphs" and an array.
struct CDeclaration {
    std::vector<std::string> typeWords;  // without const, static and the like
    std::string name;
    bool isArray = false;
    CValue value;
    int line = 0;
};

// The declarations with initialisers of a C or C++ source, read without a
// compiler: comments of both kinds and preprocessor lines are skipped (not
// evaluated), namespaces and extern "C" blocks are entered, and anything
// else (types, functions) is passed over. A declaration whose initialiser
// cannot be read is left out, and the first such reason is kept.
struct CSource {
    std::vector<CDeclaration> declarations;
    std::string firstComment;  // the text of the first comment, which often describes the file
    std::string problem;       // "line N: …" for the first initialiser that could not be read
};

// Raises Failure ("line N: …") only when the text cannot be split into C
// tokens at all, such as a comment or a literal that does not end.
CSource ReadCSource(std::string_view text);

}  // namespace font
