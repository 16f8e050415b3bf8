#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/CharRange.h"
#include "formats/csource/CDeclarations.h"

namespace font {

struct HeaderImportOptions {
    std::vector<CharRange> ranges;     // the characters to read; all when empty
    std::optional<int> ascent;         // for a font placed by a baseline: rows above it
    std::string fontName;              // which font of a header holding several
    std::vector<std::string> defines;  // macros as a compiler's -D: NAME or NAME=VALUE
};

// A code of a font's table as messages show it: 0x41.
std::string TableCode(std::int64_t code);

// "line N", as messages place a value.
std::string LineText(int line);

// Whether `declaration`'s type is `word`, also inside a class or namespace
// ("MD_MAX72XX::fontType_t" for "fontType_t").
bool HasTypeWord(const CDeclaration& declaration, std::string_view word);

// The declarations of a C header that a font is read from, as a font's
// numbers and tables: what they cannot be is refused, naming the file and
// the line of the value.
class HeaderTables {
  public:
    HeaderTables(const CSource& source, const std::string& fileName,
                 const HeaderImportOptions& options)
        : source_(source), fileName_(fileName), options_(options) {}

    const CSource& Source() const { return source_; }
    const std::string& FileName() const { return fileName_; }
    const HeaderImportOptions& Options() const { return options_; }

    // Raises Failure "FILE: WHAT".
    [[noreturn]] void Refuse(const std::string& what) const;

    // The declaration that `reference`, an item of `font`, names as its
    // `what` ("bitmap").
    const CDeclaration& Table(const CValue& reference, const CDeclaration& font,
                              const char* what) const;

    // `value` as a number from `low` to `high`; `what` names it.
    std::int64_t Number(const CValue& value, const std::string& what, std::int64_t low,
                        std::int64_t high) const;

    // The items of a table of bytes.
    std::vector<std::uint8_t> Bytes(const CDeclaration& table) const;

  private:
    const CSource& source_;
    std::string fileName_;
    const HeaderImportOptions& options_;
};

}  // namespace font
