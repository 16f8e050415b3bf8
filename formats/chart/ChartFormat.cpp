#include "formats/chart/ChartFormat.h"

#include "font/Failure.h"
#include "formats/chart/Chart.h"
#include "formats/chart/ChartLayout.h"
#include "formats/chart/ChartReader.h"

namespace formats {
namespace {

const font::OptionGroup& ScaleOption() {
    static const font::OptionGroup group{
        {font::OptionSpec::Integer("--scale", "PNG pixels a glyph pixel, 1 to 32 (default 4)",
                                   font::ChartLayout::MinScale, font::ChartLayout::MaxScale)},
        "--scale sizes a chart's pixels"};
    return group;
}

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    if (!font::IsPng(file.bytes)) return std::nullopt;
    if (!file.whole) throw font::Failure(file.name + ": a PNG larger than any chart it reads");
    return font::ReadChart(file.bytes, file.name, options.ranges);
}

font::WrittenFont Write(const font::WriteRequest& request) {
    return {font::ChartPng(request.font, font::ChartTitle(request.font, request.defaultName),
                           request.values.Integer("--scale").value_or(4)),
            {},
            {}};
}

}  // namespace

const font::FontFormat& ChartFormat() {
    static const font::FontFormat format{
        "chart",
        "a chart of every glyph (PNG)",
        {".png"},
        font::FontReader{
            "a chart", "a chart that glyphtool chart drew, also after it was drawn on.", {}, Read},
        font::FontWriter{
            "Rows of 16 cells, each row the code points U+XXX0 to U+XXXF that the font has "
            "glyphs in, as glyphtool chart draws them; import reads the PNG back, also after it "
            "has been drawn on in an image editor.\n\nExample: glyphtool export chart 5x7 -o "
            "5x7.png --scale 4",
            {&ScaleOption()},
            Write,
            font::ChartText}};
    return format;
}

}  // namespace formats
