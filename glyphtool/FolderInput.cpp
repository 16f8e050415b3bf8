#include "glyphtool/FolderInput.h"

#include <filesystem>

#include "font/Failure.h"
#include "font/OutputFile.h"

namespace fs = std::filesystem;

std::string FolderName(const std::string& dir) {
    std::error_code error;
    fs::path path = fs::absolute(dir, error).lexically_normal();
    if (path.filename().empty()) path = path.parent_path();
    return path.filename().string();
}

std::string FileStem(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    const std::size_t dot = name.find('.', 1);
    return dot == std::string::npos ? name : name.substr(0, dot);
}

font::Font LoadFolderFont(const std::string& dir, const std::string& out) {
    const font::FolderListing listing = font::ListFontFolder(dir);
    font::Font font = font::LoadFontFolder(listing);
    if (font.glyphs.empty()) throw font::Failure(font::Display(dir) + ": holds no glyph files");
    if (!out.empty()) font::RefuseOutputOverInput(out, listing);
    return font;
}
