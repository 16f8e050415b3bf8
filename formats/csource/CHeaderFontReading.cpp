#include "formats/csource/CHeaderFontReading.h"

#include "font/HeaderFonts.h"

namespace formats {

const font::OptionGroup& CHeaderFontOptions() {
    static const font::OptionGroup group{
        {font::OptionSpec::Integer("--ascent",
                                   "the rows above the baseline of a GFX or u8g2 font, 0 to 7 "
                                   "(default: the one export wrote, else the font's highest top)",
                                   0, 7),
         font::OptionSpec::Text("--font", "NAME", "which font of a header holding several")},
        "--ascent and --font are for C headers"};
    return group;
}

std::optional<font::ImportReport> ReadCHeaderFont(const font::FontFile& file,
                                                  const font::ReadOptions& options,
                                                  std::string_view source) {
    // A C header is text, and not too large to read whole.
    constexpr std::size_t MaxHeaderSize = 64 << 20;
    const std::string_view text = file.Text();
    if (!file.whole || text.size() > MaxHeaderSize || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    auto report = font::ImportHeaderFont(text, file.name,
                                         {options.ranges, options.values.Integer("--ascent"),
                                          options.values.Text("--font").value_or("")});
    if (!report || !report->source.starts_with(source)) return std::nullopt;
    return report;
}

}  // namespace formats
