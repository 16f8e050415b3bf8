#include "formats/lvgl/LvglFormat.h"

#include "formats/csource/CNameOption.h"
#include "formats/lvgl/LvglSource.h"

namespace formats {
namespace {

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    constexpr std::size_t MaxSourceSize = 64 << 20;
    const std::string_view text = file.Text();
    if (!file.whole || text.size() > MaxSourceSize || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    const auto face = font::lvgl::ReadLvglSource(text, file.name);
    if (!face) return std::nullopt;
    return font::lvgl::ImportFace(*face, file.name, options);
}

font::WrittenFont Write(const font::WriteRequest& request) {
    const font::lvgl::Layout layout = font::lvgl::LayOut(request, "an LVGL font");
    return font::WrittenText(font::lvgl::WriteLvglSource(layout, CNameFor(request)));
}

}  // namespace

const font::FontFormat& LvglFormat() {
    static const font::FontFormat format{
        "lvgl",
        "an LVGL font in C source (lv_font_fmt_txt)",
        {".c"},
        font::FontReader{"C source holding an LVGL font",
                         "C source holding an LVGL font (lv_font_fmt_txt) as LVGL's converter "
                         "writes it, of 1, 2, 3, 4 or 8 bits a pixel, compressed or not; above "
                         "1 bit, a pixel is set where its value is at least half the greatest. "
                         "Kerning is ignored.",
                         {&font::AscentOption()},
                         Read},
        font::FontWriter{
            "C source of an LVGL font as LVGL's converter writes it, 1 bit a pixel, for LVGL 8 "
            "and 9: the lv_font_t NAME, for LV_FONT_DECLARE(NAME) and "
            "lv_obj_set_style_text_font(). Each glyph is the box of its set pixels, its width "
            "the advance.\n\nExample: glyphtool export lvgl 5x7 -o font5x7.c --chars 0x20-0x7E",
            {&CNameOption(), &font::CharsOption(), &font::AscentOption(),
             &font::LineHeightOption()},
            Write}};
    return format;
}

}  // namespace formats
