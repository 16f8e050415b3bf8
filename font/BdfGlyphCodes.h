#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace font {

// One glyph of a BDF file as its STARTCHAR and ENCODING lines name it.
struct BdfGlyphCode {
    std::string name;
    long code = -1;  // -1 for a glyph without a code
};

// The glyphs of a BDF file in file order, with their codes read as FreeType
// reads them: a negative code is -1, and "ENCODING -1 n" stands for n. Empty
// when the file cannot be read.
std::vector<BdfGlyphCode> ReadBdfGlyphCodes(const std::filesystem::path& path);

}  // namespace font
