#pragma once

#include <string>

#include "Glyphtool.h"

namespace testing_glyphtool {

// Builds a program from a header glyphtool wrote (as font.h), a stand-in for
// the library's own header (include/`libraryName`) and `main`, runs it with
// `argument` and returns what it prints.
std::string RunWithLibrary(const Scratch& scratch, const std::string& header,
                           const std::string& libraryName, const char* library, const char* main,
                           const std::string& defines, const std::string& argument = "");

}  // namespace testing_glyphtool
