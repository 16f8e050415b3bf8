#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace font {

// True when the bytes start as a gzip file does.
bool IsGzip(std::span<const std::uint8_t> bytes);

// The bytes a gzip file inflates to, every member of it one after another, in
// one pass. Raises Failure (naming `fileName`) when the data is damaged or
// would inflate to more than `limit` bytes; nothing past the limit is kept.
std::vector<std::uint8_t> Gunzip(std::span<const std::uint8_t> compressed, std::size_t limit,
                                 const std::string& fileName);

}  // namespace font
