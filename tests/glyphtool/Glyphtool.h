#pragma once

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace testing_glyphtool {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built glyphtool with `args`, its standard input empty.
Result Glyphtool(const std::vector<std::string>& args);

// The same as the user and group `id` with no other groups; for root only.
Result GlyphtoolAs(unsigned id, const std::vector<std::string>& args);

// A glyphtool run going on beside the test; `as` is a user and group id to
// run it as, when the test runs as root.
class Running {
  public:
    explicit Running(const std::vector<std::string>& args, int as = -1);
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    ~Running();
    void Signal(int signal) const;
    // Its status is 128 + the signal when a signal ended it.
    Result Wait();

  private:
    std::filesystem::path capture_;
    int pid_ = -1;
};

// A fresh folder, removed with everything in it at the end of the scope.
class Scratch {
  public:
    Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch();
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// The bytes of a glyph file of `width` columns with random pixels.
std::string RandomGlyphFile(int width, std::mt19937& random);
std::string ReadBytes(const std::filesystem::path& path);

// Every file below `dir` by its path relative to it, with its bytes.
std::vector<std::pair<std::string, std::string>> Snapshot(const std::filesystem::path& dir);

}  // namespace testing_glyphtool
