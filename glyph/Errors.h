#pragma once

#include <exception>
#include <string>
#include <utility>

namespace glyph {

// Root of every error the editor reports to the user. The message is UTF-8
// and is shown as it stands.
class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// The Width text is not an integer.
class EConvertError : public Exception {
    using Exception::Exception;
};

// A width outside 0 to 16 was asked to be written.
class EWidthRangeError : public Exception {
    using Exception::Exception;
};

// A glyph file whose bytes cannot describe a glyph (too short, too wide).
class EGlyphFormatError : public Exception {
    using Exception::Exception;
};

}  // namespace glyph
