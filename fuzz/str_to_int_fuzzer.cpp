#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "glyph/Errors.h"
#include "glyph/StrToInt.h"

// Every text converts or raises EConvertError naming it; an accepted decimal
// value prints back to a text that converts to the same value.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const int value = glyph::StrToInt(text);
        if (glyph::StrToInt(std::to_string(value)) != value) __builtin_trap();
    } catch (const glyph::EConvertError& e) {
        if (e.Message() != "''" + std::string(text) + "'' は整数ではありません") __builtin_trap();
    }
    return 0;
}
