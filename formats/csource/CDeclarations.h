#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// One value of a C initialiser: a number (a constant expression of literals,
// character constants, casts and the file's macros), a name (an address such
// as `(uint8_t *)FooBitmaps`), a string, or a braced list of values, whose
// items may name the member they set.
struct CValue {
    enum class Kind { Number, Name, String, List };
    Kind kind = Kind::Number;
    std::int64_t number = 0;
    bool fromCharacter = false;  // written as a character constant, 'F'
    std::string name;
    std::string bytes;       // a string's, adjacent literals joined and escapes resolved
    std::string designator;  // "range_start" for an item written `.range_start = 32`
    int line = 0;

    // A list's items. An item that names its member is kept whole.
    std::size_t Size() const { return packed_.size() + items_.size(); }
    CValue Item(std::size_t index) const;
    void Append(CValue item);
    // How many items are kept whole rather than packed.
    std::size_t WholeItems() const { return items_.size(); }

  private:
    // A list of plain numbers keeps them in 8 bytes each, so that a table
    // takes a small multiple of its text.
    struct Packed {
        std::int32_t number;
        std::uint32_t lineAndCharacter;  // the line, shifted left, and fromCharacter
    };
    std::vector<Packed> packed_;
    std::vector<CValue> items_;
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

// The declarations with initialisers of a C or C++ header, read without a
// compiler but as one would read it (CPreprocessor.h): comments are
// skipped, namespaces and extern "C" blocks are entered, and anything else
// (types, functions) is passed over. A declaration whose initialiser cannot
// be read is left out, and the first such reason is kept.
struct CSource {
    std::vector<CDeclaration> declarations;
    std::string firstComment;  // the text of the first comment, which often describes the file
    std::string problem;       // "line N: …" for the first initialiser that could not be read
};

// What a reading keeps of the initialisers: all of them, or strings alone,
// the items of lists being read but not kept, which takes far less memory.
enum class CKeep { Everything, Strings };

// `defines` are macros as a compiler's -D gives them, NAME or NAME=VALUE.
// Raises Failure ("line N: …") when the text cannot be read as C at all:
// a directive a compiler would stop at, a comment or a literal that does
// not end, or more initialisers than any font needs, or strings that macros
// make longer together than the text itself.
CSource ReadCSource(std::string_view text, const std::vector<std::string>& defines = {},
                    CKeep keep = CKeep::Everything);

}  // namespace font
