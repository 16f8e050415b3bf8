#pragma once

#include <string>
#include <string_view>

#include "glyph/FileReplacement.h"

namespace font {

// The text of a file as a writer makes it: kept whole, or handed on to a
// sink a piece at a time as it grows, so that a large file is never whole in
// memory. A writer adds to it, or to Text() through the Append helpers, and
// calls Spill() where a piece may end.
class TextOut {
  public:
    // Keeps the whole text, for Finish to give.
    TextOut() = default;
    // Hands the text on to `sink`.
    explicit TextOut(glyph::ContentSink& sink) : sink_(&sink) {}
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;

    TextOut& operator+=(std::string_view text) {
        text_ += text;
        return *this;
    }
    // The text not yet handed on.
    std::string& Text() { return text_; }

    // Hands on what is made once it is a piece's worth.
    void Spill() {
        if (sink_ != nullptr && text_.size() >= Piece) HandOn();
    }
    // Hands on the rest; gives the whole text when it is kept, else nothing.
    std::string Finish();

  private:
    // Small enough that one buffer, written and filled again, holds every
    // piece; large enough that a piece is few system calls.
    static constexpr std::size_t Piece = std::size_t{32} << 10;

    void HandOn();

    glyph::ContentSink* sink_ = nullptr;
    std::string text_;
};

}  // namespace font
