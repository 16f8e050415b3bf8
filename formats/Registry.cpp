#include "formats/Registry.h"

#include <algorithm>
#include <array>
#include <iterator>

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

namespace {

// A format by its name, so that finding one builds no other: a run that
// names its format touches none of the others' code and texts.
struct Named {
    std::string_view name;
    const font::FontFormat& (*format)();
};

// BDF comes first, so that the fonts it reads itself never load FreeType;
// it takes nothing but a file starting with STARTFONT. FreeType comes next:
// it knows the most formats by their signatures, so that a text reader never
// sees a font that merely looks like text. A PNG is a sheet when --cell is
// given, else a chart.
constexpr Named Formats[] = {
    {"bdf", BdfFormat},
    {"freetype", FreeTypeFormat},
    {"sheet", SheetFormat},
    {"chart", ChartFormat},
    {"c", CFormat},
    {"gfx", GfxFormat},
    {"max72xx", Max72xxFormat},
    {"ttf", TtfFormat},
    {"otb", OtbFormat},
    {"glcd", GlcdFormat},
    {"gfx-classic", GfxClassicFormat},
    {"u8g2", U8g2Format},
    {"yaff", YaffFormat},
    {"lvgl", LvglFormat},
    {"lvgl-bin", LvglBinFormat},
};

}  // namespace

std::span<const font::FontFormat* const> Registry() {
    static const auto formats = [] {
        std::array<const font::FontFormat*, std::size(Formats)> all{};
        std::transform(std::begin(Formats), std::end(Formats), all.begin(),
                       [](const Named& named) { return &named.format(); });
        return all;
    }();
    return formats;
}

const font::FontFormat* FindFormat(std::string_view name) {
    const auto found = std::find_if(std::begin(Formats), std::end(Formats),
                                    [name](const Named& named) { return named.name == name; });
    return found == std::end(Formats) ? nullptr : &found->format();
}

}  // namespace formats
