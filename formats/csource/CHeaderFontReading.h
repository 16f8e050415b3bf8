#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/FontFormat.h"
#include "formats/csource/HeaderTables.h"

namespace formats {

// --ascent N, --font NAME and --define NAME[=VALUE], which place, pick and
// read the fonts of C headers.
const font::OptionGroup& CHeaderFontOptions();

// One kind of display library font that C headers hold, as its format
// finds and reads it.
struct HeaderFontKind {
    // Words that a header speaking of such fonts holds ("GFXfont"), so that
    // a table it cannot read is worth a reason rather than "not a font".
    std::vector<std::string_view> words;
    // Whether a declaration holds such a font by its type.
    bool (*declares)(const font::CDeclaration& declaration);
    // Whether it holds one by its bytes alone, asked only of a header that
    // declares no font of any kind by its type; null when none can.
    bool (*holdsByBytes)(const font::CDeclaration& declaration);
    // Reads the font; raises Failure, naming the file, for one that cannot
    // be read.
    font::ImportReport (*read)(const font::HeaderTables& tables, const font::CDeclaration& font);
};

// The reader of C headers holding a font of `kind`, as the format of such
// fonts describes itself (`fileKind` and `help` as FontReader has them).
// `kind` joins the kinds every such reader finds, so that each reader of a
// header holding fonts of two kinds asks for --font alike.
font::FontReader CHeaderFontReader(const HeaderFontKind& kind, std::string fileKind,
                                   std::string help);

// The font of `kind` that the text of a C header holds, read as a compiler
// would, when the font it holds is one. Nothing when it holds none; raises
// Failure, naming `fileName`, for a font that cannot be read or a header
// holding several without `options.fontName`.
std::optional<font::ImportReport> ReadHeaderFont(std::string_view text, const std::string& fileName,
                                                 const font::HeaderImportOptions& options,
                                                 const HeaderFontKind& kind);

}  // namespace formats
