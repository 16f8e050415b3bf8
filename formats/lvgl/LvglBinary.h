#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/lvgl/LvglFace.h"
#include "formats/lvgl/LvglLayout.h"

namespace font::lvgl {

// The binary font of LVGL's converter, as lv_binfont_create() (LVGL 9) and
// lv_font_load() (LVGL 8) load it: little-endian `head`, `cmap`, `loca` and
// `glyf` tables, 1 bit a pixel, uncompressed, no kerning.
std::vector<std::uint8_t> WriteLvglBinary(const Layout& layout);

// The font of such a file, of any bits a pixel and compression, its kerning
// noted. Nothing when the bytes do not start with a `head` table; raises
// Failure, naming `fileName`, for a font that cannot be read.
std::optional<Face> ReadLvglBinary(std::span<const std::uint8_t> bytes,
                                   const std::string& fileName);

}  // namespace font::lvgl
