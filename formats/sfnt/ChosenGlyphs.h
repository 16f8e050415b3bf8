#pragma once

#include "font/FontFormat.h"

namespace font {

// The glyphs of the request's font that --chars picks, all without it.
// Raises Failure when it picks none.
Font ChosenGlyphs(const WriteRequest& request);

}  // namespace font
