#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Glyphtool.h"
#include "glyph/CellGrid.h"
#include "glyph/GlyphFile.h"

namespace testing_glyphtool {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
constexpr int Ascent = 5;

// A glyph as rows of '#' and '.', the top row first.
using Drawing = std::vector<std::string>;

std::string GlyphFile(const Drawing& rows) {
    const int width = static_cast<int>(rows.front().size());
    glyph::CellGrid grid;
    grid.Initialise(width);
    for (int row = 0; row < Rows; ++row)
        for (int col = 0; col < width; ++col)
            if (rows[row][col] == '#') grid.Toggle(col, row);
    const auto bytes = glyph::EncodeGlyph(grid, width);
    return {bytes.begin(), bytes.end()};
}

Drawing RandomDrawing(int width, std::mt19937& random) {
    Drawing rows(Rows, std::string(static_cast<std::size_t>(width), '.'));
    for (std::string& row : rows)
        for (char& pixel : row)
            if (random() % 2) pixel = '#';
    return rows;
}

std::string FileName(char32_t cp) {
    char name[24];
    std::snprintf(name, sizeof name, "U+%04X.dat", static_cast<unsigned>(cp));
    return name;
}

// Standard output and status of a shell command, its errors with the output.
Result Shell(const std::string& command) {
    Result result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// A folder with every width from 0 to 16, holes, diagonal touches, a blank
// glyph and characters beyond U+FFFF, exported as TrueType and as OpenType
// bitmaps.
class OpenType : public ::testing::Test {
  protected:
    void SetUp() override {
        std::mt19937 random(24);
        for (int width = 0; width <= 16; ++width)
            drawings[U'a' + width] = RandomDrawing(width, random);
        drawings[U'O'] = {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."};
        drawings[U'0'] = {".###.", "#...#", "#...#", "#.#.#", "#...#", "#...#", ".###."};
        drawings[U'X'] = {"#...#", ".#.#.", "..#..", ".#.#.", "#...#", ".....", "....."};
        drawings[U'R'] = {"####", "#..#", "#.#.", "##..", "....", "....", "...."};
        drawings[U' '] = {"...", "...", "...", "...", "...", "...", "..."};
        drawings[U'\U0001F600'] = RandomDrawing(8, random);
        drawings[U'\U0010FFFD'] = RandomDrawing(11, random);
        std::filesystem::create_directory(dir);
        for (const auto& [cp, rows] : drawings) WriteBytes(dir / FileName(cp), GlyphFile(rows));
    }

    std::filesystem::path Export(const std::string& format, int ascent = Ascent) const {
        const std::filesystem::path file =
            scratch / ("Tiny" + std::to_string(ascent) + "." + format);
        const Result exported =
            Glyphtool({"export", format, dir.string(), "-o", file.string(), "--family", "Tiny Test",
                       "--ascent", std::to_string(ascent)});
        EXPECT_EQ(exported.status, 0) << exported.err;
        EXPECT_EQ(exported.err, "");
        return file;
    }

    const Scratch scratch;
    const std::filesystem::path dir = scratch / "font";
    std::map<char32_t, Drawing> drawings;
};

// Every ascent places the same rows back in the cells. FreeType's
// auto-hinter fills one-pixel notches in Devanagari glyphs; import reads
// outlines on the pixel grid unhinted.
TEST_F(OpenType, ImportGivesBackTheFolderByteForByte) {
    WriteBytes(dir / "U+0900.dat",
               GlyphFile({"#####", "..###", "#..#.", "#...#", "..#..", ".....", "....."}));
    WriteBytes(dir / "U+0911.dat",
               GlyphFile({"#####", ".###.", "####.", "###.#", "..#..", ".....", "....."}));
    for (const std::string format : {"ttf", "otb"})
        for (const int ascent : {0, Ascent, Rows}) {
            const std::filesystem::path font = Export(format, ascent);
            const std::filesystem::path back = scratch / ("back-" + font.filename().string());
            const Result imported = Glyphtool({"import", font.string(), "-o", back.string()});
            ASSERT_EQ(imported.status, 0) << font << ": " << imported.err;
            EXPECT_EQ(Snapshot(back), Snapshot(dir)) << font;
        }
}

struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// FreeType's picture of each glyph at 7, 14 and 21 pixels per em, in one bit
// and in grey (normal and light hinting, as desktops ask for it), with the
// auto-hinter forced, left to FreeType (which auto-hints a TrueType font
// without hinting code), kept off, and with no hinting at all: every pixel
// of the glyph a full square of device pixels, nothing grey.
TEST_F(OpenType, FreeTypeDrawsEveryPixelAsWholeDevicePixels) {
    const std::filesystem::path file = Export("ttf");
    FT_Library rawLibrary = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&rawLibrary), 0);
    const std::unique_ptr<FT_LibraryRec_, LibraryCloser> library(rawLibrary);
    FT_Face rawFace = nullptr;
    ASSERT_EQ(FT_New_Face(rawLibrary, file.c_str(), 0, &rawFace), 0);
    const std::unique_ptr<FT_FaceRec_, FaceCloser> face(rawFace);

    struct Hinting {
        const char* what;
        FT_Int32 flags;
    };
    const Hinting hintings[] = {{"auto-hinter forced", FT_LOAD_FORCE_AUTOHINT},
                                {"FreeType's choice", FT_LOAD_DEFAULT},
                                {"auto-hinter off", FT_LOAD_NO_AUTOHINT},
                                {"no hinting", FT_LOAD_NO_HINTING}};
    const Hinting targets[] = {{"mono", FT_LOAD_TARGET_MONO},
                               {"grey", FT_LOAD_TARGET_NORMAL},
                               {"grey light", FT_LOAD_TARGET_LIGHT}};
    for (const int scale : {1, 2, 3}) {
        ASSERT_EQ(FT_Set_Pixel_Sizes(rawFace, 0, static_cast<FT_UInt>(Rows * scale)), 0);
        for (const Hinting& target : targets)
            for (const Hinting& hinting : hintings)
                for (const auto& [cp, rows] : drawings) {
                    const std::string what = std::string(hinting.what) + ", " + target.what + ", " +
                                             std::to_string(Rows * scale) + " px, U+" +
                                             std::to_string(static_cast<unsigned>(cp));
                    const bool mono = target.flags == FT_LOAD_TARGET_MONO;
                    ASSERT_EQ(
                        FT_Load_Char(rawFace, cp, FT_LOAD_RENDER | target.flags | hinting.flags), 0)
                        << what;
                    const FT_GlyphSlot slot = rawFace->glyph;
                    const int width = static_cast<int>(rows.front().size());
                    EXPECT_EQ(slot->advance.x, width * scale * 64) << what;
                    const FT_Bitmap& bitmap = slot->bitmap;
                    int inked = 0, expected = 0;
                    for (const std::string& row : rows)
                        for (const char pixel : row) expected += pixel == '#' ? scale * scale : 0;
                    for (unsigned r = 0; r < bitmap.rows; ++r)
                        for (unsigned c = 0; c < bitmap.width; ++c) {
                            const unsigned char* line =
                                bitmap.buffer + r * static_cast<unsigned>(bitmap.pitch);
                            const int value =
                                mono ? ((line[c / 8] >> (7 - c % 8)) & 1) * 255 : line[c];
                            ASSERT_TRUE(value == 0 || value == 255) << what << ": grey " << value;
                            const int x = slot->bitmap_left + static_cast<int>(c);
                            const int y = Ascent * scale - slot->bitmap_top + static_cast<int>(r);
                            const bool inside =
                                x >= 0 && x < width * scale && y >= 0 && y < Rows * scale;
                            const bool set = inside && rows[static_cast<std::size_t>(y / scale)]
                                                           [static_cast<std::size_t>(x / scale)] ==
                                                           '#';
                            ASSERT_EQ(value == 255, set) << what << " at " << x << "," << y;
                            inked += value == 255;
                        }
                    EXPECT_EQ(inked, expected) << what;
                }
    }
}

TEST_F(OpenType, PassesTheSanitizerAndFontToolsReadsItWithoutAWarning) {
    for (const std::string format : {"ttf", "otb"}) {
        const std::filesystem::path font = Export(format);
        const Result sanitized = Shell("ots-sanitize '" + font.string() + "' '" +
                                       (scratch / "sanitized").string() + "'");
        EXPECT_EQ(sanitized.status, 0) << format << ": " << sanitized.out;
        EXPECT_EQ(sanitized.out.find("WARNING"), std::string::npos) << sanitized.out;
        const Result read = Shell(std::string("/usr/bin/python3 ") + SOURCE_DIR +
                                  "/fonttools_read.py '" + font.string() + "'");
        EXPECT_EQ(read.status, 0) << format << ": " << read.out;
        EXPECT_EQ(read.out, "") << format;
    }
}

// Pillow, whose text drawing the project did not write, sets a line with the
// font in the same pixels as render, at 7 and 14 pixels, one-bit and grey.
TEST_F(OpenType, PillowSetsTextInTheSamePixelsAsRender) {
    const std::filesystem::path font = Export("ttf");
    const std::string text = "O0XRa bcdefghijklmnopq";
    const Result rendered = Glyphtool({"render", dir.string(), text});
    ASSERT_EQ(rendered.status, 0) << rendered.err;
    const std::size_t width = rendered.out.find('\n');
    for (const int scale : {1, 2}) {
        std::string expected;
        std::size_t start = 0;
        while (start < rendered.out.size()) {
            const std::size_t end = rendered.out.find('\n', start);
            std::string line;
            for (std::size_t i = start; i < end; ++i)
                line += std::string(static_cast<std::size_t>(scale), rendered.out[i]);
            for (int i = 0; i < scale; ++i) expected += line + "\n";
            start = end + 1;
        }
        for (const std::string mode : {"1", "L"}) {
            const Result pillow =
                Shell(std::string("/usr/bin/python3 ") + SOURCE_DIR + "/pillow_text.py '" +
                      font.string() + "' " + std::to_string(Rows * scale) + " " + mode + " " +
                      std::to_string(Ascent * scale) + " " +
                      std::to_string(width * static_cast<std::size_t>(scale)) + " '" + text + "'");
            ASSERT_EQ(pillow.status, 0) << pillow.out;
            EXPECT_EQ(pillow.out, expected) << "mode " << mode << " at " << Rows * scale << " px";
        }
    }
}

}  // namespace
}  // namespace testing_glyphtool
