#include <gtest/gtest.h>

#include <vector>

#include "formats/sfnt/SfntFont.h"

namespace {

font::Font FontOfWidths(const std::vector<int>& widths) {
    font::Font f;
    char32_t cp = U'A';
    for (const int width : widths) f.glyphs.push_back(font::BlankGlyph(cp++, width));
    return f;
}

// A monospaced font stays monospaced with its .notdef, so that post and
// desktops can say so; a box of at least 2 columns stays visible.
TEST(NotdefGlyphTest, IsAsWideAsEveryGlyphWhenTheyShareOneWidth) {
    struct Case {
        std::vector<int> widths;
        int notdef;
    };
    const Case cases[] = {{{6, 6, 6}, 6}, {{16}, 16},  {{5, 6}, 5},
                          {{8, 3}, 5},    {{1, 1}, 3}, {{0}, 3}};
    for (const Case& c : cases) {
        const font::Glyph notdef = font::NotdefGlyph(FontOfWidths(c.widths));
        EXPECT_EQ(notdef.width, c.notdef);
        // Its box: the first column inked from top to bottom, the last one clear.
        for (int row = 0; row < font::EmPixels; ++row) {
            EXPECT_TRUE(notdef.Pixel(0, row));
            EXPECT_FALSE(notdef.Pixel(notdef.width - 1, row));
        }
    }
}

}  // namespace
