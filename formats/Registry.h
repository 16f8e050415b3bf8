#pragma once

#include <span>
#include <string_view>

#include "font/FontFormat.h"

namespace formats {

// Every format glyphtool reads or writes, in the order import tries their
// readers on a file.
std::span<const font::FontFormat* const> Registry();

// The format of that name, or null.
const font::FontFormat* FindFormat(std::string_view name);

}  // namespace formats
