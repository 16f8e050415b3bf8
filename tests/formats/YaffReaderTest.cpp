#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "font/Failure.h"
#include "formats/yaff/Yaff.h"

namespace {

std::optional<font::ImportReport> Read(const std::string& text) {
    return font::ReadYaff(text, "t.yaff", {}, std::nullopt);
}

// One glyph of one pixel under `labels`, in a font of `encoding`.
std::optional<font::ImportReport> OneGlyph(const std::string& encoding, const std::string& labels) {
    std::string text = "yaff: 1.0\n";
    if (!encoding.empty()) text += "encoding: " + encoding + "\n";
    return Read(text + "\n" + labels + "\n    @\n");
}

// Labels as monobit tells them apart, and code point labels through the
// font's encoding: UTF-32 in Unicode, one byte in Latin-1.
TEST(YaffLabels, GiveTheCharacterMonobitGivesThem) {
    struct Case {
        std::string encoding, labels;
        char32_t character;  // 0: skipped, with `why`
        std::string why;
    };
    const Case cases[] = {
        {"unicode", "0x41:", U'A', ""},
        {"unicode", "65:", U'A', ""},
        {"unicode", "0065:", U'A', ""},
        {"unicode", "0o101:", U'A', ""},
        {"unicode", "0x120:", 0x120, ""},
        {"unicode", "0x1, 0x20:", 0x120, ""},
        {"unicode", "1,32:", 0x120, ""},
        {"unicode", "0, 0x41:", U'A', ""},
        {"ISO10646-1", "0x1F600:", 0x1F600, ""},
        {"unicode", "0x110000:", 0, "its code point is beyond Unicode"},
        {"unicode", "0x100000041:", 0, "more than one Unicode character"},
        {"unicode", "99999999999999999999999:", 0, "more than one Unicode character"},
        {"latin-1", "0xE9:", 0xE9, ""},
        {"ISO8859_1", "233:", 0xE9, ""},
        {"latin-1", "0x100:", 0, "latin-1 has codes up to 0xFF only"},
        {"latin-1", "0x1, 0x20:", 0, "latin-1 has codes up to 0xFF only"},
        {"", "0x41:", 0, "the file gives no encoding"},
        {"oem-437", "0x41:", 0, "in encoding 'oem-437'; only unicode and latin-1"},
        {"latin-1", "u+0141:", 0x141, ""},
        {"", "U+1F600:", 0x1F600, ""},
        {"", "u+0041,:", U'A', ""},
        {"", "'\xC5\x81':", 0x141, ""},
        {"", "\xC5\x81:", 0x141, ""},
        {"", "A:", U'A', ""},
        {"", "0x41:\n'B':", U'B', ""},
        {"unicode", "\"tag\":\n0x41:", U'A', ""},
        {"", "u+0061, u+0300:", 0, "it is a sequence of 2 characters"},
        {"", "'ff':", 0, "it is a sequence of 2 characters"},
        {"unicode", "\"0x41\":", 0, "has no Unicode character"},
        {"", "latin_a:", 0, "has no Unicode character"},
        {"", "u+110000:", 0, "has no Unicode character"},
        {"unicode", "0x41z:", 0, "has no Unicode character"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoding + " " + c.labels);
        const auto report = OneGlyph(c.encoding, c.labels);
        ASSERT_TRUE(report.has_value());
        if (c.character != 0) {
            ASSERT_EQ(report->font.glyphs.size(), 1u);
            EXPECT_EQ(report->font.glyphs[0].codePoint, c.character);
            EXPECT_TRUE(report->warnings.empty());
        } else {
            EXPECT_TRUE(report->font.glyphs.empty());
            ASSERT_EQ(report->warnings.size(), 1u);
            EXPECT_NE(report->warnings[0].find(c.why), std::string::npos) << report->warnings[0];
        }
    }
}

// Grey levels are refused at the levels line, once the file shows itself
// yaff by its signature or a glyph; two levels are ink or none.
TEST(YaffLevels, MoreThanTwoAreRefusedNamingTheirLine) {
    const struct {
        std::string text;
        std::string message;  // empty: read
    } cases[] = {
        {"yaff: 1.0\nlevels: 4\n\nu+0041:\n    .12@\n",
         "t.yaff: line 2: levels: 4: glyphs in grey"},
        {"name: g\nlevels: 16\n\n'A':\n    .E@\n", "t.yaff: line 2: levels: 16:"},
        {"name: g\nlevels: 256\n\n'A':\n    ..@@\n", "t.yaff: line 2: levels: 256:"},
        {"levels: 4\nname: g\nyaff: 1.0\n", "t.yaff: line 1: levels: 4:"},
        {"name: g\nlevels: 4\n\n0x41:\n    -\n", "t.yaff: line 2: levels: 4:"},
        {"yaff: 1.0\nlevels: 2\n\n'A':\n    .@\n", ""},
        {"yaff: 1.0\nlevels: 0x2\n\n'A':\n    .@\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.message.empty()) {
            const auto report = Read(c.text);
            ASSERT_TRUE(report.has_value());
            EXPECT_EQ(report->font.glyphs.size(), 1u);
            continue;
        }
        try {
            Read(c.text);
            ADD_FAILURE() << "read";
        } catch (const font::Failure& failure) {
            EXPECT_TRUE(std::string(failure.what()).starts_with(c.message)) << failure.what();
        }
    }
    // Without glyphs or a signature the file is not yaff at all.
    EXPECT_FALSE(Read("name: g\nlevels: 4\n").has_value());
}

// Blank glyphs of n + 1 dashes a row are n wide; the placements of files
// before version 1.0, offset and tracking, are bearings and shift-up; a tab
// indents as spaces do.
TEST(YaffGlyphs, BlankRowsAndOldPlacementsAreRead) {
    const auto report = Read(
        "encoding: unicode\nascent: 2\n\nu+0020:\n    ---\n    ---\n\n"
        "u+0041:\n    @\n\n    offset: 1 -1\n    tracking: 2\n\n"
        "u+0042:\n    @\n\n    offset: 2, 1\n\nu+0043:\n\t@@\n");
    ASSERT_TRUE(report.has_value());
    ASSERT_EQ(report->font.glyphs.size(), 4u);
    EXPECT_EQ(report->font.glyphs[3].width, 2);  // indented by a tab
    const font::Glyph& space = report->font.glyphs[0];
    EXPECT_EQ(space.width, 2);
    const font::Glyph& a = report->font.glyphs[1];
    EXPECT_EQ(a.width, 4);
    EXPECT_TRUE(a.Pixel(1, 2));  // one row under the baseline, two above it
    const font::Glyph& b = report->font.glyphs[2];
    EXPECT_EQ(b.width, 3);
    EXPECT_TRUE(b.Pixel(2, 0));  // two rows above it
}

}  // namespace
