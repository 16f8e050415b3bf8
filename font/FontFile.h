#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// The most of a font file that is held in memory; a reader that needs the
// whole of a larger file refuses it.
inline constexpr std::size_t MaxFontFileBytes = std::size_t{256} << 20;

// A font file to read, read once: its path, its name as messages show it,
// and its bytes.
struct FontFile {
    std::filesystem::path path;
    std::string name;
    std::vector<std::uint8_t> bytes;  // the whole file, or its first MaxFontFileBytes
    bool whole = true;

    std::string_view Text() const {
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }
};

// Reads `path`, refusing a FIFO, a device or a folder before a byte is read.
// Raises Failure naming the file when it cannot be had.
FontFile OpenFontFile(const std::filesystem::path& path);

}  // namespace font
