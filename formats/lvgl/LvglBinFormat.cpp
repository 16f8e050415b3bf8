#include "formats/lvgl/LvglBinFormat.h"

#include "formats/lvgl/LvglBinary.h"

namespace formats {
namespace {

std::optional<font::ImportReport> Read(const font::FontFile& file,
                                       const font::ReadOptions& options) {
    if (!file.whole) return std::nullopt;
    const auto face = font::lvgl::ReadLvglBinary(file.bytes, file.name);
    if (!face) return std::nullopt;
    return font::lvgl::ImportFace(*face, file.name, options);
}

font::WrittenFont Write(const font::WriteRequest& request) {
    const font::lvgl::Layout layout = font::lvgl::LayOut(request, "an LVGL binary font");
    return {font::lvgl::WriteLvglBinary(layout), {}, {}};
}

}  // namespace

const font::FontFormat& LvglBinFormat() {
    static const font::FontFormat format{
        "lvgl-bin",
        "an LVGL binary font, loaded at run time",
        {".bin"},
        font::FontReader{"an LVGL binary font",
                         "LVGL binary fonts as LVGL's converter writes them, of 1, 2, 3, 4 or 8 "
                         "bits a pixel, compressed or not; above 1 bit, a pixel is set where its "
                         "value is at least half the greatest. Kerning is ignored.",
                         {&font::AscentOption()},
                         Read},
        font::FontWriter{
            "The binary font of LVGL's converter, 1 bit a pixel, which lv_binfont_create() (LVGL "
            "9) and lv_font_load() (LVGL 8) load at run time. Each glyph is the box of its set "
            "pixels, its width the advance.\n\nExample: glyphtool export lvgl-bin 5x7 -o "
            "font5x7.bin --chars 0x20-0x7E",
            {&font::CharsOption(), &font::AscentOption(), &font::LineHeightOption()},
            Write}};
    return format;
}

}  // namespace formats
