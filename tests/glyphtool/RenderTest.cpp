#include <png.h>

#include <gtest/gtest.h>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

// A PNG read as one byte of gray a pixel; no pixels when libpng cannot read it.
struct GrayPicture {
    png_uint_32 width = 0, height = 0;
    std::vector<png_byte> pixels;
};

GrayPicture ReadGray(const std::filesystem::path& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
    image.format = PNG_FORMAT_GRAY;
    GrayPicture picture{image.width, image.height, std::vector<png_byte>(PNG_IMAGE_SIZE(image))};
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) return {};
    return picture;
}

// "Hi" in a font of two hand-drawn glyphs: H 4 columns wide, i 1 column.
class Render : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(dir);
        const char h[] = {4,          0,          7,          0, char(0x90), char(0x90),
                          char(0xF0), char(0x90), char(0x90), 0, 0};
        const char i[] = {1, 0, 7, 0, char(0x80), 0, char(0x80), char(0x80), char(0x80), 0, 0};
        WriteBytes(dir / "H.dat", std::string(h, sizeof h));
        WriteBytes(dir / "U+0069.dat", std::string(i, sizeof i));
    }
    const Scratch scratch;
    const std::filesystem::path dir = scratch / "font";
};

TEST_F(Render, PrintsTheRowsOfTheTextWithTheSpacingAsked) {
    const Result art = Glyphtool({"render", dir, "HiH", "--spacing", "1"});
    EXPECT_EQ(art.status, 0) << art.err;
    EXPECT_EQ(art.out,
              "#..#.#.#..#\n"
              "#..#...#..#\n"
              "####.#.####\n"
              "#..#.#.#..#\n"
              "#..#.#.#..#\n"
              "...........\n"
              "...........\n");
}

TEST_F(Render, WritesAPngOfScaledBlackPixelsOnWhite) {
    const auto file = scratch / "hi.png";
    ASSERT_EQ(Glyphtool({"render", dir, "Hi", "-o", file, "--scale", "3"}).status, 0);

    const GrayPicture image = ReadGray(file);
    const std::vector<png_byte>& pixels = image.pixels;
    ASSERT_EQ(image.width, 15u);
    ASSERT_EQ(image.height, 21u);
    const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * 15 + x)]; };
    // Rows 0 to 4 of "Hi", 5 columns each; rows 5 and 6 are clear.
    const std::string art = std::string("#..##") + "#..#." + "#####" + "#..##" + "#..##";
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 15; ++x) {
            const int col = x / 3, row = y / 3;
            const bool set = row < 5 && art[static_cast<std::size_t>(row * 5 + col)] == '#';
            ASSERT_EQ(at(x, y), set ? 0 : 255) << x << "," << y;
        }
}

// At every scale, each black run of the picture starts and ends where the
// text's pixels say, wherever it falls in the bytes of a one-bit row.
TEST_F(Render, ThePngDrawsTheTextsPixelsAtEveryScale) {
    const std::string text = "HiHHiiH";
    const Result art = Glyphtool({"render", dir, text, "--spacing", "1"});
    ASSERT_EQ(art.status, 0) << art.err;
    const std::size_t columns = art.out.find('\n');
    for (const int scale : {1, 2, 3, 5, 7, 8, 9, 13}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const auto file = scratch / ("text" + std::to_string(scale) + ".png");
        ASSERT_EQ(Glyphtool({"render", dir, text, "--spacing", "1", "-o", file, "--scale",
                             std::to_string(scale)})
                      .status,
                  0);
        const GrayPicture image = ReadGray(file);
        const std::vector<png_byte>& pixels = image.pixels;
        ASSERT_EQ(image.width, columns * static_cast<std::size_t>(scale));
        ASSERT_EQ(image.height, 7u * static_cast<png_uint_32>(scale));
        for (png_uint_32 y = 0; y < image.height; ++y)
            for (png_uint_32 x = 0; x < image.width; ++x) {
                const char pixel = art.out[(y / scale) * (columns + 1) + x / scale];
                ASSERT_EQ(pixels[y * image.width + x], pixel == '#' ? 0 : 255) << x << "," << y;
            }
    }
}

TEST_F(Render, NamesTheCharacterWithoutAGlyph) {
    for (const auto& [text, named] : std::vector<std::pair<std::string, std::string>>{
             {"Hé", "'é' (U+00E9)"}, {"Hあ", "'あ' (U+3042)"}, {"H😀", "'😀' (U+1F600)"}}) {
        const Result missing = Glyphtool({"render", dir, text});
        EXPECT_EQ(missing.status, 1);
        EXPECT_EQ(missing.err, "glyphtool: no glyph for " + named + " in " + dir.string() + "\n");
        EXPECT_EQ(missing.out, "");
    }
}

// A PNG may be 1,000,000 pixels wide, and not one column more.
TEST_F(Render, KeepsThePngWithinAMillionPixelsASide) {
    const std::string exact = std::string(3906, 'H') + "i";  // 15,625 columns
    const Result largest =
        Glyphtool({"render", dir, exact, "-o", scratch / "wide.png", "--scale", "64"});
    EXPECT_EQ(largest.status, 0) << largest.err;
    const Result over =
        Glyphtool({"render", dir, exact + "i", "-o", scratch / "over.png", "--scale", "64"});
    EXPECT_EQ(over.status, 1);
    EXPECT_NE(over.err.find("1000064 × 448 pixels is too large"), std::string::npos) << over.err;
    EXPECT_FALSE(std::filesystem::exists(scratch / "over.png"));
}

}  // namespace
}  // namespace testing_glyphtool
