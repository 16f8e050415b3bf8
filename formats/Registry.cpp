#include "formats/Registry.h"

#include <algorithm>
#include <array>

#include "formats/bdf/BdfFormat.h"
#include "formats/c/CFormat.h"
#include "formats/chart/ChartFormat.h"
#include "formats/freetype/FreeTypeFormat.h"
#include "formats/gfx-classic/GfxClassicFormat.h"
#include "formats/gfx/GfxFormat.h"
#include "formats/glcd/GlcdFormat.h"
#include "formats/lvgl/LvglBinFormat.h"
#include "formats/lvgl/LvglFormat.h"
#include "formats/max72xx/Max72xxFormat.h"
#include "formats/otb/OtbFormat.h"
#include "formats/sheet/SheetFormat.h"
#include "formats/ttf/TtfFormat.h"
#include "formats/u8g2/U8g2Format.h"
#include "formats/yaff/YaffFormat.h"

namespace formats {

std::span<const font::FontFormat* const> Registry() {
    // BDF comes first, so that the fonts it reads itself never load FreeType;
    // it takes nothing but a file starting with STARTFONT. FreeType comes
    // next: it knows the most formats by their signatures, so that a text
    // reader never sees a font that merely looks like text. A PNG is a sheet
    // when --cell is given, else a chart.
    static const std::array formats = {
        &BdfFormat(),        &FreeTypeFormat(), &SheetFormat(), &ChartFormat(), &CFormat(),
        &GfxFormat(),        &Max72xxFormat(),  &TtfFormat(),   &OtbFormat(),   &GlcdFormat(),
        &GfxClassicFormat(), &U8g2Format(),     &YaffFormat(),  &LvglFormat(),  &LvglBinFormat(),
    };
    return formats;
}

const font::FontFormat* FindFormat(std::string_view name) {
    const auto all = Registry();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [name](const font::FontFormat* f) { return f->name == name; });
    return found == all.end() ? nullptr : *found;
}

}  // namespace formats
