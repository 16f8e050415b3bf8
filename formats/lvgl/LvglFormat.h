#pragma once

#include "font/FontFormat.h"

namespace formats {

// LVGL's C fonts (lv_font_fmt_txt), as its converter writes them.
const font::FontFormat& LvglFormat();

}  // namespace formats
