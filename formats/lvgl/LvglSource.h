#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/lvgl/LvglFace.h"
#include "formats/lvgl/LvglLayout.h"

namespace font::lvgl {

// C source of an lv_font_fmt_txt font as LVGL's converter writes it, 1 bit a
// pixel and uncompressed, compiling with LVGL 8 and 9: glyph_bitmap,
// glyph_dsc, cmaps, font_dsc and the public `lv_font_t name`, inside the
// `#ifndef NAME / #define NAME 1 / #if NAME` switch of LVGL's own fonts.
std::string WriteLvglSource(const Layout& layout, const std::string& name);

// The font of C source holding an lv_font_fmt_txt font (designated
// initialisers, version guards and attribute macros as the converter writes
// them), read as a compiler with LVGL 9 reads it. Nothing when the text holds
// no such font; raises Failure, naming `fileName`, for one that cannot be read.
std::optional<Face> ReadLvglSource(std::string_view text, const std::string& fileName);

}  // namespace font::lvgl
