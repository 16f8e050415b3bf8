#pragma once

#include <string>

// "glyphtool: " and the line, on standard error, with every control and
// invisible character escaped so that nothing in it can act on a terminal.
void Report(const std::string& line);
void Warn(const std::string& line);
