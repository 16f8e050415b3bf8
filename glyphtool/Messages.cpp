#include "glyphtool/Messages.h"

#include <iostream>

#include "font/Unicode.h"

void Report(const std::string& line) {
    std::cerr << "glyphtool: " << font::Printable(line) << '\n';
}

void Warn(const std::string& line) {
    std::cerr << "glyphtool: warning: " << font::Printable(line) << '\n';
}
