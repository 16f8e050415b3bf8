#include <png.h>

#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "Glyphtool.h"
#include "formats/chart/LabelFont.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

// A picture as an image editor holds it: 8-bit RGBA.
struct Rgba {
    png_uint_32 width = 0, height = 0;
    std::vector<png_byte> pixels;

    png_byte* At(png_uint_32 x, png_uint_32 y) { return &pixels[(y * width + x) * 4]; }
};

Rgba ReadRgba(const fs::path& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_file(&image, file.c_str())) << image.message;
    image.format = PNG_FORMAT_RGBA;
    Rgba picture{image.width, image.height, std::vector<png_byte>(PNG_IMAGE_SIZE(image))};
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr));
    return picture;
}

void WriteRgba(const fs::path& file, const Rgba& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = picture.width;
    image.height = picture.height;
    image.format = PNG_FORMAT_RGBA;
    ASSERT_TRUE(
        png_image_write_to_file(&image, file.c_str(), 0, picture.pixels.data(), 0, nullptr));
}

void Paint(Rgba& picture, png_uint_32 x, png_uint_32 y, png_uint_32 size, png_byte value) {
    for (png_uint_32 dy = 0; dy < size; ++dy)
        for (png_uint_32 dx = 0; dx < size; ++dx) {
            png_byte* p = picture.At(x + dx, y + dy);
            p[0] = p[1] = p[2] = value;
            p[3] = 255;
        }
}

// Glyphs of every width from 0 to 16 over rows of the BMP and beyond it.
void WriteFolder(const fs::path& dir) {
    fs::create_directories(dir);
    std::mt19937 random(5);
    const char32_t codes[] = {0x20, 0x2F, 0x41, 0x4F, 0x50, 0x3042, 0x1F600};
    int width = 0;
    for (const char32_t first : codes)
        for (int k = 0; k < 3; ++k, width = (width + 1) % 17) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X.dat", static_cast<unsigned>(first + 3 * k));
            WriteBytes(dir / name, RandomGlyphFile(width, random));
        }
}

// chart, then import of the chart, gives the folder back at every scale.
TEST(Chart, ImportGivesEveryFileBackAtEveryScale) {
    const Scratch scratch;
    WriteFolder(scratch / "font");
    const auto files = Snapshot(scratch / "font");
    for (int scale = 1; scale <= 32; ++scale) {
        SCOPED_TRACE(scale);
        const fs::path png = scratch / ("chart" + std::to_string(scale) + ".png");
        const fs::path back = scratch / ("back" + std::to_string(scale));
        ASSERT_EQ(
            Glyphtool({"chart", scratch / "font", "-o", png, "--scale", std::to_string(scale)})
                .status,
            0);
        const Result import = Glyphtool({"import", png, "-o", back});
        ASSERT_EQ(import.status, 0) << import.err;
        EXPECT_EQ(Snapshot(back), files);
    }
    const Result again = Glyphtool({"chart", scratch / "font", "-o", "-", "--scale", "32"});
    EXPECT_EQ(again.out, ReadBytes(scratch / "chart32.png")) << "the same folder, the same bytes";
}

// Saved again as RGBA and drawn on: a black block becomes one set pixel, a
// grey column painted white widens its glyph, and nothing else changes.
TEST(Chart, ADrawnOnRgbaCopyReadsWithTheChangesMade) {
    const Scratch scratch;
    fs::create_directory(scratch / "font");
    // 'A' of width 3 with no pixel set; 'B' of width 2.
    WriteBytes(scratch / "font/U+0041.dat", std::string("\x03\x00\x07\x00\0\0\0\0\0\0\0", 11));
    WriteBytes(scratch / "font/U+0042.dat", std::string("\x02\x00\x07\x00\xC0\0\0\0\0\0\0", 11));
    const int scale = 3;
    ASSERT_EQ(
        Glyphtool({"chart", scratch / "font", "-o", scratch / "chart.png", "--scale", "3"}).status,
        0);
    Rgba picture = ReadRgba(scratch / "chart.png");
    // The cell of U+0041 is column 1 of the first row: x = (38 + 17) s, y = 15 s.
    const png_uint_32 ax = (38 + 17) * scale, ay = 15 * scale;
    Paint(picture, ax + 1 * scale, ay + 4 * scale, scale, 0x10);  // (1, 4) set
    const png_uint_32 bx = (38 + 2 * 17) * scale;
    for (int row = 0; row < 7; ++row) Paint(picture, bx + 2 * scale, ay + row * scale, scale, 0xFF);
    WriteRgba(scratch / "drawn.png", picture);

    const Result import = Glyphtool({"import", scratch / "drawn.png", "-o", scratch / "back"});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_EQ(ReadBytes(scratch / "back/U+0041.dat"),
              std::string("\x03\x00\x07\x00\0\0\0\0\x40\0\0", 11));
    EXPECT_EQ(ReadBytes(scratch / "back/U+0042.dat"),
              std::string("\x03\x00\x07\x00\xC0\0\0\0\0\0\0", 11));
    EXPECT_EQ(Snapshot(scratch / "back").size(), 2u);
}

// Labels are read by their shapes, so no two characters may share one.
TEST(Chart, EveryLabelCharacterReadsBackAsItself) {
    const std::string drawn = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ+-:,._()/?";
    for (const char c : drawn)
        EXPECT_EQ(font::label_font::Character(font::label_font::Glyph(c)), c) << c;
    EXPECT_EQ(font::label_font::Spell("5x7 Tiny é!"), "5X7 TINY ??");
}

TEST(Chart, PrintsTheGridAsText) {
    const Scratch scratch;
    fs::create_directory(scratch / "font");
    WriteBytes(scratch / "font/U+0041.dat",
               std::string("\x03\x00\x07\x00\xA0\x40\xA0\0\0\0\0", 11));
    WriteBytes(scratch / "font/U+0043.dat", std::string("\x01\x00\x07\x00\x80\0\0\0\0\0\x80", 11));
    const std::string blank(16, ' ');
    std::string expected = "         0";
    for (const char* digit :
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F"})
        expected += blank + digit;
    expected += "\n";
    const char* const a[] = {"#.#", ".#.", "#.#", "...", "...", "...", "..."};
    const char* const c[] = {"#", ".", ".", ".", ".", ".", "#"};
    for (int row = 0; row < 7; ++row) {
        std::string line = std::string(row == 0 ? "U+0040  " : "        ") + " " + blank + "|" +
                           a[row] + std::string(13, ' ') + "|" + blank + "|" + c[row] +
                           std::string(15, ' ');
        for (int cell = 4; cell < 16; ++cell) line += "|" + blank;
        line.erase(line.find_last_not_of(' ') + 1);
        expected += line + "\n";
    }
    const Result chart = Glyphtool({"chart", scratch / "font"});
    EXPECT_EQ(chart.status, 0) << chart.err;
    EXPECT_EQ(chart.out, expected);
}

// Pictures that are not charts are refused with the reason and the place,
// and nothing is written.
TEST(Chart, PicturesThatAreNotChartsAreRefused) {
    const Scratch scratch;
    WriteFolder(scratch / "font");
    ASSERT_EQ(
        Glyphtool({"chart", scratch / "font", "-o", scratch / "chart.png", "--scale", "2"}).status,
        0);
    ASSERT_EQ(Glyphtool({"render", scratch / "font", " A", "-o", scratch / "text.png"}).status, 0);
    const Rgba chart = ReadRgba(scratch / "chart.png");
    const auto changed = [&](const char* name, auto change) {
        Rgba copy = chart;
        change(copy);
        WriteRgba(scratch / name, copy);
        return scratch / name;
    };
    const auto cropped = changed("cropped.png", [](Rgba& p) {
        p.height -= 4;
        p.pixels.resize(p.width * p.height * 4);
    });
    // At scale 2 the first cell, U+0020 of width 0, is at (76, 30).
    const auto heading =
        changed("heading.png", [](Rgba& p) { Paint(p, (38 + 17 * 3) * 2, 9 * 2, 2, 0x00); });
    const auto label = changed("label.png", [](Rgba& p) { Paint(p, 2 * 2, 16 * 2, 2, 0x00); });
    const auto cut = changed("cut.png", [](Rgba& p) {
        for (png_uint_32 y = 30; y < 32; ++y)
            for (png_uint_32 x = 76; x < 78; ++x) {
                png_byte* pixel = p.At(x, y);
                pixel[0] = 0x2B, pixel[1] = 0x57, pixel[2] = 0x8C;
            }
    });
    const auto afterGrey = changed("after-grey.png", [](Rgba& p) {
        for (png_uint_32 row = 0; row < 7; ++row) Paint(p, 76 + 15 * 2, 30 + row * 2, 2, 0xFF);
    });
    const auto noRows = changed("no-rows.png", [](Rgba& p) {
        p.height = 16 * 2;
        p.pixels.resize(p.width * p.height * 4);
    });
    const std::pair<fs::path, std::string> cases[] = {
        {scratch / "text.png", "no chart grid found"},
        {noRows, "no chart grid found"},
        {cropped, "no chart grid found"},
        {heading, "the heading of column 3 at (178, 18) does not read 3"},
        {label, "cannot read the label of row 1 at (4, 32)"},
        {cut, "the cell of U+0020 at (76, 30) is cut off"},
        {afterGrey, "the cell of U+0020 at (76, 30): column 15 is not grey, but column 0"},
    };
    for (const auto& [png, reason] : cases) {
        SCOPED_TRACE(png.filename().string());
        const Result import = Glyphtool({"import", png, "-o", scratch / "out"});
        EXPECT_EQ(import.status, 1);
        EXPECT_NE(import.err.find(reason), std::string::npos) << import.err;
        EXPECT_FALSE(fs::exists(scratch / "out"));
    }
}

// chart refuses a chart larger than import reads, naming the largest scale
// that import reads; the chart at that scale reads back whole.
TEST(Chart, AChartImportCannotReadIsRefusedWithTheLargestScaleThatWorks) {
    const Scratch scratch;
    ASSERT_EQ(Glyphtool({"import", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "-o", scratch / "font"})
                  .status,
              0);
    const fs::path png = scratch / "chart.png";
    const Result refused = Glyphtool({"chart", scratch / "font", "-o", png, "--scale", "32"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(fs::exists(png));
    const std::smatch found = [&] {
        std::smatch match;
        std::regex_search(refused.err, match, std::regex("--scale ([0-9]+) is the largest"));
        return match;
    }();
    ASSERT_FALSE(found.empty()) << refused.err;
    const int largest = std::stoi(found[1]);

    EXPECT_EQ(
        Glyphtool({"chart", scratch / "font", "-o", png, "--scale", std::to_string(largest + 1)})
            .status,
        1);
    ASSERT_EQ(Glyphtool({"chart", scratch / "font", "-o", png, "--scale", std::to_string(largest)})
                  .status,
              0);
    const Result import = Glyphtool({"import", png, "-o", scratch / "back"});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_EQ(Snapshot(scratch / "back"), Snapshot(scratch / "font"));
}

}  // namespace
}  // namespace testing_glyphtool
