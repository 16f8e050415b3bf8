#include "formats/c/CFormat.h"

#include "formats/c/CHeader.h"
#include "formats/csource/CSource.h"

namespace formats {
namespace {

const font::OptionGroup& PrefixOption() {
    static const font::OptionGroup group{
        {font::OptionSpec::Text(
            "--name", "IDENT",
            "the tables' prefix, a C identifier (default: the folder's name made into one)",
            font::IsCIdentifier, "a C identifier")},
        "--name prefixes the tables of a C header"};
    return group;
}

const font::OptionGroup& LayoutOption() {
    static const font::OptionGroup group{
        {font::OptionSpec::Choice("--layout",
                                  "rows: each glyph's bitmap bytes as in its file (7, or 14 from "
                                  "width 9); columns: one byte a column, row r in bit r (default "
                                  "rows)",
                                  {"rows", "columns"})},
        "--layout lays out the bytes of a C table"};
    return group;
}

std::vector<std::string> Stream(const font::WriteRequest& request, font::TextOut& out) {
    const std::string name =
        request.values.Text("--name").value_or(font::CIdentifierFrom(request.defaultName));
    const auto layout =
        request.values.Text("--layout") == "columns" ? font::CLayout::Columns : font::CLayout::Rows;
    font::WriteCHeader(request.font, name, layout, out);
    return {};
}

font::WrittenFont Write(const font::WriteRequest& request) {
    return font::StreamedWhole(Stream, request);
}

}  // namespace

const font::FontFormat& CFormat() {
    static const font::FontFormat format{
        "c",
        "a C header",
        {".h"},
        std::nullopt,
        font::FontWriter{
            "One header, valid C99 and C++: NAME_HEIGHT, NAME_COUNT and the tables "
            "name_codepoints (ascending), name_widths, name_offsets and name_bitmap.\n\n"
            "Example: glyphtool export c 5x7 -o font5x7.h --name font5x7 --layout columns",
            {&PrefixOption(), &LayoutOption()},
            Write,
            nullptr,
            Stream}};
    return format;
}

}  // namespace formats
