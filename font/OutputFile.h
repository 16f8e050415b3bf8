#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace font {

// Writes `bytes` as the whole content of `path` so that no failure leaves a
// half-written file or harms an existing one, and a replaced file keeps its
// owner, group, mode and other names. A link is followed, also when it
// dangles; a FIFO or a device is written to directly; a folder and a file
// without any write bit are refused. With `durable`, the data reaches the
// disk before the file takes its name. "-" writes to standard output. Raises
// Failure naming the path.
void WriteOutputFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                     bool durable = true);
void WriteOutputFile(const std::filesystem::path& path, std::string_view text, bool durable = true);

// How a glyph file of an import takes its place in the folder.
enum class GlyphFileWrite {
    New,      // the name must be free, also while the file is written
    Replace,  // a plain file takes the name, whatever had it
};

// Writes one glyph file of an import as a plain file, never through a link,
// without waiting for the disk. Raises Failure naming the path; a name that
// was not free for GlyphFileWrite::New says so.
void WriteGlyphFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                    GlyphFileWrite how);

// Raises Failure when `output` names one of `inputs` (under any name), so
// that a command cannot write over what it reads.
void RefuseOutputOverInput(const std::filesystem::path& output,
                           const std::vector<std::filesystem::path>& inputs);

}  // namespace font
