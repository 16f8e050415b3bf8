#pragma once

#include <string>

#include "font/FontFormat.h"

namespace formats {

// --name IDENT: the name of a font in C source, a C identifier that is not a
// keyword.
const font::OptionGroup& CNameOption();

// The --name given, else the request's default name made into an identifier.
std::string CNameFor(const font::WriteRequest& request);

}  // namespace formats
