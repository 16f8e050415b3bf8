#pragma once

#include "font/FontFormat.h"

namespace formats {

// LVGL's binary fonts, loaded at run time with lv_binfont_create().
const font::FontFormat& LvglBinFormat();

}  // namespace formats
