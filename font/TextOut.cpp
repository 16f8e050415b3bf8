#include "font/TextOut.h"

#include <cstdint>
#include <span>

namespace font {

void TextOut::HandOn() {
    sink_->Put(std::span(reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size()));
    text_.clear();
}

std::string TextOut::Finish() {
    if (sink_ == nullptr) return std::move(text_);
    HandOn();
    return {};
}

}  // namespace font
