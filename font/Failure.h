#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace font {

// Work that could not be done, with one line for each reason, each naming the
// file it is about. Nothing was written when it is thrown.
class Failure : public std::runtime_error {
  public:
    explicit Failure(std::string line) : Failure(std::vector<std::string>{std::move(line)}) {}
    explicit Failure(std::vector<std::string> lines)
        : std::runtime_error(lines.empty() ? std::string() : lines.front()),
          lines_(std::move(lines)) {}

    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
};

}  // namespace font
