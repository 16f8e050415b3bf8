#include "formats/csource/CNameOption.h"

#include "formats/csource/CSource.h"

namespace formats {

const font::OptionGroup& CNameOption() {
    static const font::OptionGroup group{
        {font::OptionSpec::Text(
            "--name", "IDENT",
            "the font's name, a C identifier (default: the folder's name made into one)",
            [](std::string_view text) {
                return font::IsCIdentifier(text) && !font::IsCKeyword(text);
            },
            "a C identifier")},
        "--name names a font in C source"};
    return group;
}

std::string CNameFor(const font::WriteRequest& request) {
    return request.values.Text("--name").value_or(font::CIdentifierFrom(request.defaultName));
}

}  // namespace formats
