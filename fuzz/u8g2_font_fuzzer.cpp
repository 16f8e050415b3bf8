#include <cstddef>
#include <cstdint>
#include <span>

#include "ImportedGlyphs.h"
#include "font/Failure.h"
#include "font/FontFormat.h"
#include "formats/u8g2/U8g2Encoder.h"
#include "formats/u8g2/U8g2Format.h"
#include "formats/u8g2/U8g2Import.h"

namespace {

bool SameGlyphs(const font::Font& a, const font::Font& b) {
    if (a.glyphs.size() != b.glyphs.size()) return false;
    for (std::size_t i = 0; i < a.glyphs.size(); ++i) {
        const font::Glyph& x = a.glyphs[i];
        const font::Glyph& y = b.glyphs[i];
        if (x.codePoint != y.codePoint || x.width != y.width) return false;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < x.width; ++col)
                if (x.Pixel(col, row) != y.Pixel(col, row)) return false;
    }
    return true;
}

}  // namespace

// The first byte picks what the rest is: the bytes of a font, or C source.
// Either gives glyphs that make valid glyph files, and a font's glyphs come
// back the same through export; or it is refused with a Failure, or, as C
// source, found not to be a u8g2 font. Nothing crashes or hangs.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    try {
        if (data[0] % 2 == 0) {
            const font::ImportReport report = font::ImportU8g2Font(rest, "fuzz.c", "fuzz", {});
            TrapUnlessValid(report);
            const auto bytes = font::EncodeU8g2Font(report.font, {});
            if (!SameGlyphs(font::ImportU8g2Font(bytes, "back.c", "back", {}).font, report.font))
                __builtin_trap();
        } else {
            const font::FontFile file{"fuzz.c", "fuzz.c", {rest.begin(), rest.end()}, true};
            const font::OptionValues values;
            if (const auto report = formats::U8g2Format().reader->read(file, {{}, values}))
                TrapUnlessValid(*report);
        }
    } catch (const font::Failure&) {
    } catch (const font::NotThisFormat&) {
    }
    return 0;
}
