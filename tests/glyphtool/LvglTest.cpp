#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string DejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The rows of a drawing from the first with ink to the last.
std::string InkedRows(const std::string& drawing) {
    const std::size_t first = drawing.find('#'), last = drawing.rfind('#');
    if (first == std::string::npos) return "";
    const std::size_t start = drawing.rfind('\n', first);
    return drawing.substr(start == std::string::npos ? 0 : start + 1,
                          drawing.find('\n', last) - (start == std::string::npos ? 0 : start + 1));
}
const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";

// The structures of LVGL's lv_font.h and lv_font_fmt_txt.h as LVGL 8 and 9
// declare them (LVGL_VERSION_MAJOR picks one), for the C a font file needs.
const char* const LvglHeader = R"(#pragma once
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#define LVGL_VERSION_MINOR 2
#define LVGL_VERSION_PATCH 0
#define LV_VERSION_CHECK(x, y, z) (x == LVGL_VERSION_MAJOR && (y < LVGL_VERSION_MINOR || (y == LVGL_VERSION_MINOR && z <= LVGL_VERSION_PATCH)))
#define LV_ATTRIBUTE_LARGE_CONST
typedef struct { uint32_t bitmap_index : 20; uint32_t adv_w : 12; uint8_t box_w; uint8_t box_h; int8_t ofs_x; int8_t ofs_y; } lv_font_fmt_txt_glyph_dsc_t;
typedef enum { LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL, LV_FONT_FMT_TXT_CMAP_SPARSE_FULL, LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY, LV_FONT_FMT_TXT_CMAP_SPARSE_TINY } lv_font_fmt_txt_cmap_type_t;
typedef struct { uint32_t range_start; uint16_t range_length; uint16_t glyph_id_start; const uint16_t * unicode_list; const void * glyph_id_ofs_list; uint16_t list_length; lv_font_fmt_txt_cmap_type_t type; } lv_font_fmt_txt_cmap_t;
typedef enum { LV_FONT_SUBPX_NONE, LV_FONT_SUBPX_HOR } lv_font_subpx_t;
#if LVGL_VERSION_MAJOR == 8
typedef struct { uint32_t last_letter; uint32_t last_glyph_id; } lv_font_fmt_txt_glyph_cache_t;
typedef struct { const uint8_t * glyph_bitmap; const lv_font_fmt_txt_glyph_dsc_t * glyph_dsc; const lv_font_fmt_txt_cmap_t * cmaps; const void * kern_dsc; uint16_t kern_scale; uint16_t cmap_num : 9; uint16_t bpp : 4; uint16_t kern_classes : 1; uint16_t bitmap_format : 2; lv_font_fmt_txt_glyph_cache_t * cache; } lv_font_fmt_txt_dsc_t;
typedef struct _lv_font_t { bool (*get_glyph_dsc)(const struct _lv_font_t *, void *, uint32_t, uint32_t); const uint8_t * (*get_glyph_bitmap)(const struct _lv_font_t *, uint32_t); int16_t line_height; int16_t base_line; uint8_t subpx : 2; int8_t underline_position; int8_t underline_thickness; const void * dsc; const struct _lv_font_t * fallback; void * user_data; } lv_font_t;
const uint8_t * lv_font_get_bitmap_fmt_txt(const lv_font_t * font, uint32_t letter);
#else
typedef struct { const uint8_t * glyph_bitmap; const lv_font_fmt_txt_glyph_dsc_t * glyph_dsc; const lv_font_fmt_txt_cmap_t * cmaps; const void * kern_dsc; uint16_t kern_scale; uint16_t cmap_num; uint8_t bpp : 4; uint8_t kern_classes : 1; uint8_t bitmap_format : 2; uint8_t stride; } lv_font_fmt_txt_dsc_t;
typedef struct _lv_font_t { bool (*get_glyph_dsc)(const struct _lv_font_t *, void *, uint32_t, uint32_t); const void * (*get_glyph_bitmap)(void *, void *); void (*release_glyph)(const struct _lv_font_t *, void *); int32_t line_height; int32_t base_line; uint8_t subpx : 2; uint8_t kerning : 1; uint8_t static_bitmap : 1; int8_t underline_position; int8_t underline_thickness; const void * dsc; const struct _lv_font_t * fallback; void * user_data; } lv_font_t;
const void * lv_font_get_bitmap_fmt_txt(void * g_dsc, void * draw_buf);
#endif
bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t * font, void * dsc_out, uint32_t letter, uint32_t letter_next);
)";

// Draws text with a compiled font as LVGL's label does: the glyph id from
// the first map whose range holds the code, the box's top at line_height -
// base_line - box_h - ofs_y, the pen moved on by the advance rounded to whole
// pixels; the bitmap read from bitmap_index, 1 bit a pixel, packed.
const char* const LvglDraw = R"(#include "lvgl/lvgl.h"
#include <stdio.h>
#include <stdlib.h>
extern const lv_font_t FONT;
bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t * f, void * d, uint32_t l, uint32_t n) { (void)f; (void)d; (void)l; (void)n; return false; }
#if LVGL_VERSION_MAJOR == 8
const uint8_t * lv_font_get_bitmap_fmt_txt(const lv_font_t * f, uint32_t l) { (void)f; (void)l; return NULL; }
#else
const void * lv_font_get_bitmap_fmt_txt(void * g, void * d) { (void)g; (void)d; return NULL; }
#endif
static char canvas[7][4000];
static uint32_t glyph_id(const lv_font_fmt_txt_dsc_t * fd, uint32_t letter) {
    for (unsigned i = 0; i < fd->cmap_num; i++) {
        const lv_font_fmt_txt_cmap_t * c = &fd->cmaps[i];
        uint32_t rcp = letter - c->range_start;
        if (rcp >= c->range_length) continue;
        if (c->type == LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY) return c->glyph_id_start + rcp;
        if (c->type == LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL) {
            const uint8_t * ofs = (const uint8_t *)c->glyph_id_ofs_list;
            if (ofs[rcp] == 0 && rcp != 0) continue;
            return c->glyph_id_start + ofs[rcp];
        }
        for (unsigned k = 0; k < c->list_length; k++)
            if (c->unicode_list[k] == rcp) return c->glyph_id_start + k;
        return 0;
    }
    return 0;
}
int main(int argc, char ** argv) {
    const lv_font_fmt_txt_dsc_t * fd = (const lv_font_fmt_txt_dsc_t *)FONT.dsc;
    int pen = 0;
    if (fd->bpp != 1 || fd->bitmap_format != 0 || fd->kern_dsc != NULL) return 2;
    for (int a = 1; a < argc; a++) {
        uint32_t id = glyph_id(fd, (uint32_t)strtoul(argv[a], NULL, 16));
        if (id == 0) return 3;
        const lv_font_fmt_txt_glyph_dsc_t * g = &fd->glyph_dsc[id];
        int top = FONT.line_height - FONT.base_line - g->box_h - g->ofs_y;
        for (int bit = 0; bit < g->box_w * g->box_h; bit++)
            if (fd->glyph_bitmap[g->bitmap_index + bit / 8] >> (7 - bit % 8) & 1)
                canvas[top + bit / g->box_w][pen + g->ofs_x + bit % g->box_w] = 1;
        pen += (g->adv_w + 8) >> 4;
    }
    for (int y = 0; y < 7; y++) {
        for (int x = 0; x < pen; x++) putchar(canvas[y][x] ? '#' : '.');
        putchar('\n');
    }
    return 0;
}
)";

// Compiles a font's C source with LVGL's structures of `version` and the
// drawing program, and returns what it prints for the codes.
std::string DrawWithCompiledFont(const std::string& source, const std::string& name, int version,
                                 const std::vector<char32_t>& codes) {
    const Scratch scratch;
    fs::create_directories(scratch / "lvgl");
    WriteBytes(scratch / "lvgl/lvgl.h", LvglHeader);
    WriteBytes(scratch / "font.c", source);
    WriteBytes(scratch / "main.c", LvglDraw);
    const std::string dir = scratch.path().string();
    const std::string build = std::string(C_COMPILER) +
                              " -std=c99 -Wall -Wextra -Werror -pedantic -DLVGL_VERSION_MAJOR=" +
                              std::to_string(version) + " -DFONT=" + name + " -I" + dir + " " +
                              dir + "/font.c " + dir + "/main.c -o " + dir + "/main";
    EXPECT_EQ(std::system(build.c_str()), 0) << source;
    std::string run = dir + "/main";
    for (const char32_t cp : codes) {
        char code[16];
        std::snprintf(code, sizeof code, " %X", static_cast<unsigned>(cp));
        run += code;
    }
    EXPECT_EQ(std::system((run + " > " + dir + "/out.txt").c_str()), 0);
    return ReadBytes(scratch / "out.txt");
}

// A reader of LVGL's binary font written from its documented tables: the
// head's metrics and bit lengths, the cmap subtables, the loca offsets and
// each glyph's bit fields followed by its 1-bit rows.
class BinaryFont {
  public:
    explicit BinaryFont(const std::string& bytes) : bytes_(bytes) {
        EXPECT_EQ(bytes.substr(4, 4), "head");
        ascent_ = static_cast<int>(Get(16, 2));
        const std::size_t cmap = Get(0, 4), loca = cmap + Get(cmap, 4), glyf = loca + Get(loca, 4);
        EXPECT_EQ(bytes.substr(cmap + 4, 4), "cmap");
        EXPECT_EQ(bytes.substr(loca + 4, 4), "loca");
        EXPECT_EQ(bytes.substr(glyf + 4, 4), "glyf");
        EXPECT_EQ(Get(12, 2), 3u);  // no kern table
        EXPECT_EQ(Get(37, 1), 1u);  // 1 bit a pixel
        EXPECT_EQ(Get(41, 1), 0u);  // uncompressed
        for (std::size_t i = 0, count = Get(cmap + 8, 4); i < count; ++i) {
            const std::size_t at = cmap + 12 + 16 * i, data = cmap + Get(at, 4);
            const std::uint32_t start = static_cast<std::uint32_t>(Get(at + 4, 4));
            const std::size_t length = Get(at + 8, 2), firstId = Get(at + 10, 2),
                              entries = Get(at + 12, 2), type = Get(at + 14, 1);
            for (std::size_t k = 0; k < (type == 3 ? entries : length); ++k) {
                if (type == 2) ids_[start + k] = firstId + k;
                if (type == 3) ids_[start + Get(data + 2 * k, 2)] = firstId + k;
                if (type == 0 && (k == 0 || Get(data + k, 1) != 0))
                    ids_[start + k] = firstId + Get(data + k, 1);
            }
        }
        const int xy = static_cast<int>(Get(38, 1)), wh = static_cast<int>(Get(39, 1)),
                  advance = static_cast<int>(Get(40, 1));
        const std::size_t offsetBytes = Get(34, 1) == 1 ? 4 : 2;
        for (std::size_t id = 0, count = Get(loca + 8, 4); id < count; ++id) {
            bit_ = (glyf + Get(loca + 12 + offsetBytes * id, offsetBytes)) * 8;
            Glyph g;
            g.advance = advance == 0 ? static_cast<int>(Get(30, 2)) : Bits(advance, false);
            g.x = Bits(xy, true), g.y = Bits(xy, true), g.w = Bits(wh, false),
            g.h = Bits(wh, false);
            for (int k = 0; k < g.w * g.h; ++k) g.pixels.push_back(Bits(1, false) != 0);
            glyphs_.push_back(g);
        }
    }

    // `count` rows from `first` under the line's top: 7 from 0 are the rows
    // render prints of a font exported at its ascent.
    std::string Draw(const std::vector<char32_t>& codes, int first = 0, int count = 7) const {
        std::vector<std::string> rows(static_cast<std::size_t>(count));
        for (const char32_t cp : codes) {
            EXPECT_TRUE(ids_.contains(cp)) << static_cast<unsigned>(cp);
            const Glyph& g = glyphs_.at(ids_.at(cp));
            const std::size_t pen = rows[0].size();
            for (auto& row : rows) row.resize(pen + static_cast<std::size_t>(g.advance), '.');
            for (int k = 0; k < g.w * g.h; ++k)
                if (g.pixels[static_cast<std::size_t>(k)])
                    rows.at(static_cast<std::size_t>(ascent_ - g.h - g.y + k / g.w - first))
                        .at(pen + static_cast<std::size_t>(g.x + k % g.w)) = '#';
        }
        std::string out;
        for (const auto& row : rows) out += row + "\n";
        return out;
    }

  private:
    struct Glyph {
        int advance = 0, x = 0, y = 0, w = 0, h = 0;
        std::vector<bool> pixels;
    };

    std::size_t Get(std::size_t at, std::size_t count) const {
        std::size_t value = 0;
        for (std::size_t k = count; k-- > 0;)
            value = value << 8 | static_cast<unsigned char>(bytes_.at(at + k));
        return value;
    }
    int Bits(int count, bool isSigned) {
        int value = 0;
        for (int k = 0; k < count; ++k, ++bit_)
            value = value << 1 |
                    (static_cast<unsigned char>(bytes_.at(bit_ / 8)) >> (7 - bit_ % 8) & 1);
        if (isSigned && count > 0 && (value >> (count - 1) & 1) != 0) value -= 1 << count;
        return value;
    }

    std::string bytes_;
    int ascent_ = 0;
    std::map<char32_t, std::size_t> ids_;
    std::vector<Glyph> glyphs_;
    std::size_t bit_ = 0;
};

// A folder of glyphs of every width from 0 to 16, at codes scattered over
// the planes so that every kind of map is written, and those codes.
std::vector<char32_t> ScatteredWidths(const fs::path& dir) {
    fs::create_directories(dir);
    std::mt19937 random(23);
    const std::vector<char32_t> codes = {0x21,   0x22,    0x23,    0x24,    0x26,    0x29,
                                         0x2A,   0x41,    0x3041,  0x3042,  0x3043,  0x9000,
                                         0xFFFD, 0x10000, 0x1F600, 0x1F601, 0x10FFFD};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X.dat", static_cast<unsigned>(codes[i]));
        WriteBytes(dir / name, RandomGlyphFile(static_cast<int>(i % 17), random));
    }
    return codes;
}

std::string Utf8(const std::vector<char32_t>& codes) {
    std::string text;
    for (const char32_t cp : codes) {
        if (cp < 0x80) {
            text += static_cast<char>(cp);
        } else if (cp < 0x800) {
            text += static_cast<char>(0xC0 | cp >> 6);
            text += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            text += static_cast<char>(0xE0 | cp >> 12);
            text += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | cp >> 18);
            text += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return text;
}

std::vector<char32_t> Codes(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

// The C font compiles with LVGL 8's structures and with LVGL 9's, and both
// draw exactly what render prints; so does the binary font, at the default
// ascent and others.
TEST(Lvgl, FontsDrawWhatRenderPrints) {
    const Scratch scratch;
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", scratch / "5x7", "--chars", "0x20-0x7E"}).status,
              0);
    const auto scattered = ScatteredWidths(scratch / "widths");
    struct Case {
        fs::path dir;
        std::vector<char32_t> codes;
        std::string ascent;
    };
    for (const Case& c :
         {Case{scratch / "5x7", Codes("Hello, gjpqy!"), "6"},
          Case{scratch / "widths", scattered, "6"}, Case{scratch / "widths", scattered, "0"},
          Case{scratch / "widths", scattered, "7"}}) {
        SCOPED_TRACE(c.dir.string() + " ascent " + c.ascent);
        const std::string rendered = Glyphtool({"render", c.dir, Utf8(c.codes)}).out;
        const Result source = Glyphtool(
            {"export", "lvgl", c.dir, "-o", "-", "--name", "tst_font", "--ascent", c.ascent});
        ASSERT_EQ(source.status, 0) << source.err;
        for (const int version : {8, 9})
            EXPECT_EQ(DrawWithCompiledFont(source.out, "tst_font", version, c.codes), rendered)
                << "LVGL " << version;
        const Result binary =
            Glyphtool({"export", "lvgl-bin", c.dir, "-o", "-", "--ascent", c.ascent});
        ASSERT_EQ(binary.status, 0) << binary.err;
        EXPECT_EQ(BinaryFont(binary.out).Draw(c.codes), rendered);
    }
}

// Both formats import back to the very same glyph files, for every width
// and codes beyond U+FFFF, at any ascent and line height.
TEST(Lvgl, ExportsImportBackToTheSameGlyphFiles) {
    const Scratch scratch;
    ScatteredWidths(scratch / "font");
    const auto original = Snapshot(scratch / "font");
    int round = 0;
    for (const std::string format : {"lvgl", "lvgl-bin"}) {
        for (const auto& [ascent, lineHeight] :
             {std::pair{"6", "8"}, {"0", "1"}, {"7", "3"}, {"3", "255"}}) {
            SCOPED_TRACE(format + " ascent " + ascent + " line height " + lineHeight);
            const fs::path file = scratch / ("font" + std::to_string(++round));
            const fs::path back = scratch / ("back" + std::to_string(round));
            const Result exported = Glyphtool({"export", format, scratch / "font", "-o", file,
                                               "--ascent", ascent, "--line-height", lineHeight});
            ASSERT_EQ(exported.status, 0) << exported.err;
            EXPECT_EQ(exported.err, "");
            const Result imported = Glyphtool({"import", file, "-o", back});
            ASSERT_EQ(imported.status, 0) << imported.err;
            EXPECT_EQ(Snapshot(back), original);
        }
    }
}

// Runs LVGL's own converter, which the install script puts on the PATH.
void Convert(const std::vector<std::string>& args) {
    std::string command = "lv_font_conv --font " + DejaVuSans + " --range 0x20-0x7E --size 6";
    for (const std::string& arg : args) command += " " + arg;
    ASSERT_EQ(std::system((command + " > /dev/null").c_str()), 0) << command;
}

// Fonts written by LVGL's converter import alike whether C or binary,
// compressed or not; at 1 bit a pixel they import to what the binary font
// draws, and above it one warning says how pixels were set.
TEST(Lvgl, ConverterFontsImportToWhatTheyDraw) {
    ASSERT_EQ(std::system("lv_font_conv --help > /dev/null 2>&1"), 0)
        << "lv_font_conv is missing: run scripts/install-deps.sh";
    const Scratch scratch;
    const std::string text = "Hello, gjpqy! {[0]}";
    for (const std::string bpp : {"1", "2", "4"}) {
        SCOPED_TRACE(bpp + " bits a pixel");
        const std::string base = (scratch / ("dv" + bpp)).string();
        Convert(
            {"--bpp", bpp, "--format", "lvgl", "-o", base + ".c", "--lv-font-name", "dv" + bpp});
        Convert({"--bpp", bpp, "--format", "lvgl", "--no-compress", "-o", base + "n.c",
                 "--lv-font-name", "dv" + bpp});
        // The converter before 1.5.3 guarded LVGL 8's structures with
        // LV_VERSION_CHECK(8, 0, 0), which is false with LVGL 9.
        std::string guarded = ReadBytes(base + "n.c");
        for (const std::string guard :
             {"#if LVGL_VERSION_MAJOR == 8", "#if LVGL_VERSION_MAJOR >= 8"})
            for (std::size_t at; (at = guarded.find(guard)) != std::string::npos;)
                guarded.replace(at, guard.size(), "#if LV_VERSION_CHECK(8, 0, 0)");
        EXPECT_EQ(guarded.find("LVGL_VERSION_MAJOR == 8"), std::string::npos);
        EXPECT_NE(guarded.find("LV_VERSION_CHECK(8, 0, 0)"), std::string::npos);
        WriteBytes(base + "g.c", guarded);
        Convert({"--bpp", bpp, "--format", "bin", "-o", base + ".bin"});
        Convert({"--bpp", bpp, "--format", "bin", "--no-compress", "-o", base + "n.bin"});
        Convert({"--bpp", bpp, "--format", "bin", "--no-prefilter", "-o", base + "p.bin"});
        // The C font keeps advances in 1/16 pixel and the binary one rounds them,
        // so each is compared with its own kind.
        std::map<std::string, std::vector<std::pair<std::string, std::string>>> imports;
        for (const std::string kind : {".c", "n.c", "g.c", ".bin", "n.bin", "p.bin"}) {
            const Result imported = Glyphtool({"import", base + kind, "-o", base + kind + ".dir"});
            ASSERT_EQ(imported.status, 0) << kind << imported.err;
            const bool source = kind.ends_with(".c");
            EXPECT_NE(imported.out.find(source ? "its LVGL font dv" + bpp : "its LVGL binary font"),
                      std::string::npos)
                << imported.out;
            const std::string warning =
                "bits a pixel; a pixel is set where its value is at least half";
            EXPECT_EQ(imported.err.find(warning) != std::string::npos, bpp != "1") << imported.err;
            imports[kind] = Snapshot(base + kind + ".dir");
            EXPECT_EQ(imports[kind].size(), 95u) << kind;
            EXPECT_EQ(imports[kind], imports[source ? ".c" : ".bin"]) << kind;
        }
        if (bpp == "1") {
            // Drawn from the line's top, its ink is render's from the import.
            const auto codes = Codes(text);
            EXPECT_EQ(InkedRows(BinaryFont(ReadBytes(base + "n.bin")).Draw(codes, -4, 16)),
                      InkedRows(Glyphtool({"render", base + ".bin.dir", text}).out));
        }
    }
}

// A binary font cut short anywhere, or with any byte of its tables
// changed, is refused in one line or read; it never crashes or hangs.
TEST(Lvgl, DamagedBinaryFontsAreRefusedWithAReason) {
    const Scratch scratch;
    ScatteredWidths(scratch / "font");
    ASSERT_EQ(Glyphtool({"export", "lvgl-bin", scratch / "font", "-o", scratch / "f.bin"}).status,
              0);
    const std::string whole = ReadBytes(scratch / "f.bin");
    for (std::size_t size = 8; size < whole.size(); size += 7) {
        WriteBytes(scratch / "cut.bin", whole.substr(0, size));
        const Result cut = Glyphtool({"import", scratch / "cut.bin", "-o", scratch / "cut"});
        EXPECT_EQ(cut.status, 1) << size;
        EXPECT_EQ(std::count(cut.err.begin(), cut.err.end(), '\n'), 1) << cut.err;
        EXPECT_NE(cut.err.find((scratch / "cut.bin").string() + ": "), std::string::npos)
            << cut.err;
        EXPECT_FALSE(fs::exists(scratch / "cut"));
    }
    const struct {
        std::size_t at;
        std::string bytes;
        std::string reason;
    } damages[] = {
        {4, "HEAD", "neither a one-bit BDF font, a font FreeType can read"},
        {37, "\x05", "its head gives 5 bits a pixel, not 1, 2, 3, 4 or 8"},
        {41, "\x03", "its head gives compression 3, which LVGL does not have"},
        {48, "\xFF\xFF", "its cmap table's size"},
        {52, "cmaq", "has no cmap table where one should start, at byte 48"},
        {56, "\xFF", "its cmap table is too short for its"},
        {60 + 14, "\x07", "character map 0 is of type 7, which LVGL does not have"},
        {60 + 10, "\x30", "character map 0 gives glyph 48, outside the 17 glyphs of the font"},
    };
    for (const auto& damage : damages) {
        std::string bytes = whole;
        bytes.replace(damage.at, damage.bytes.size(), damage.bytes);
        WriteBytes(scratch / "bad.bin", bytes);
        const Result bad = Glyphtool({"import", scratch / "bad.bin", "-o", scratch / "bad"});
        EXPECT_EQ(bad.status, 1) << damage.reason;
        EXPECT_NE(bad.err.find(damage.reason), std::string::npos) << bad.err;
        EXPECT_FALSE(fs::exists(scratch / "bad"));
    }
}

// C fonts written by hand, with positional initialisers, hex and char
// literals, and every kind of map, come in whole; kerning is named and
// ignored; what points outside its tables is refused.
TEST(Lvgl, HandWrittenSourcesComeInOrSayWhyNot) {
    const Scratch scratch;
    const std::string tables = R"(#include "lvgl.h"
static const uint8_t bitmaps[] = {0xF0, 0x90, 0xF0, 0xA5, 0x40};
static const lv_font_fmt_txt_glyph_dsc_t glyphs[] = {
    {0}, {0, 64, 4, 1, 0, 2}, {1, 48, 2, 2, 1, 0}, {3, 80, 4, 2, 0, -1}, {4, 32, 2, 1, 0, 4}};
static const uint16_t sparse[] = {0, 0x10};
static const uint8_t full[] = {1, 0, 0};
static const lv_font_fmt_txt_cmap_t maps[] = {
    {'A', 1, 1, NULL, NULL, 0, LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY},
    {0x100, 0x11, 2, sparse, NULL, 2, LV_FONT_FMT_TXT_CMAP_SPARSE_TINY},
    {0x61, 3, 3, NULL, full, 3, LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL}};
)";
    // The branches of #if are those a compiler takes with LVGL 9's lvgl.h,
    // whose LV_VERSION_CHECK(8, 0, 0) is false; the others would not read.
    WriteBytes(scratch / "hand.c", tables + R"(static const uint8_t kerning[] = {0};
#if 0
static const lv_font_fmt_txt_dsc_t dsc = {bitmaps, glyphs, maps, NULL, 0, 99, 1, 0, 0};
#elif LV_VERSION_CHECK(8, 0, 0) || LVGL_VERSION_MAJOR < 9
static const lv_font_fmt_txt_dsc_t dsc = {bitmaps, glyphs, maps, NULL, 0, 98, 1, 0, 0};
#elif LV_VERSION_CHECK(9, 0, 0) && !LV_VERSION_CHECK(10, 0, 0)
static const lv_font_fmt_txt_dsc_t dsc = {bitmaps, glyphs, maps, kerning, 16, 3, 1, 0, 0};
#else
static lv_font_fmt_txt_dsc_t dsc = {bitmaps, glyphs, maps, NULL, 0, 97, 1, 0, 0};
#endif
const lv_font_t hand = {.line_height = 8, .base_line = 2, .dsc = &dsc};
)");
    const Result hand = Glyphtool({"import", scratch / "hand.c", "-o", scratch / "hand"});
    ASSERT_EQ(hand.status, 0) << hand.err;
    EXPECT_EQ(hand.err, "glyphtool: warning: " + (scratch / "hand.c").string() +
                            ": its kerning is ignored\n");
    const std::pair<std::string, std::string> shown[] = {
        {"U+0041", "width 4\n....\n....\n....\n####\n....\n....\n....\n"},
        {"U+0100", "width 3\n...\n...\n...\n...\n.#.\n..#\n...\n"},
        {"U+0110", "width 5\n.....\n.....\n.....\n.....\n.....\n#.#..\n.#.#.\n"},
        {"U+0061", "width 2\n..\n.#\n..\n..\n..\n..\n..\n"},
    };
    for (const auto& [name, glyph] : shown) {
        const fs::path file = scratch / "hand" / (name + ".dat");
        EXPECT_EQ(Glyphtool({"show", file}).out, file.string() + ": " + glyph);
    }
    EXPECT_EQ(Snapshot(scratch / "hand").size(), 4u);

    const std::pair<std::string, std::string> broken[] = {
        {"{bitmaps, glyphs, maps, NULL, 0, 4, 1, 0, 0}", "dsc.cmap_num is 4, more than maps holds"},
        {"{bitmaps, glyphs, maps, NULL, 0, 3, 5, 0, 0}",
         "dsc.bpp is 5, not 1, 2, 3, 4 or 8 bits a pixel"},
        {"{bitmaps, glyphz, maps, NULL, 0, 3, 1, 0, 0}",
         "dsc.glyph_dsc names glyphz, which is not in the file"},
        {"{bitmaps, glyphs, maps, NULL, 0, 3, 1, 0, 7}",
         "dsc.bitmap_format holds a value outside 0 to 2"},
    };
    for (const auto& [dsc, reason] : broken) {
        WriteBytes(
            scratch / "broken.c",
            tables + "static const lv_font_fmt_txt_dsc_t dsc = " + dsc +
                ";\nconst lv_font_t broken = {.line_height = 8, .base_line = 2, .dsc = &dsc};\n");
        const Result refused =
            Glyphtool({"import", scratch / "broken.c", "-o", scratch / "broken"});
        EXPECT_EQ(refused.status, 1) << reason;
        EXPECT_NE(refused.err.find(reason), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(scratch / "broken"));
    }
}

// Fonts LVGL could not draw from are refused, naming what is wrong: an
// index past the bitmap, a map past the glyph table, ink over more than 7
// rows; an export needs a glyph.
TEST(Lvgl, RefusalsSayWhyInOneLine) {
    const Scratch scratch;
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", scratch / "5x7", "--chars", "0x41-0x43"}).status,
              0);
    const Result source = Glyphtool({"export", "lvgl", scratch / "5x7", "-o", "-", "--name", "f"});
    ASSERT_EQ(source.status, 0) << source.err;
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = source.out;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::pair<std::string, std::string> cases[] = {
        {edited(".bitmap_index = 3,", ".bitmap_index = 9999,"),
         "glyph_dsc[2].bitmap_index 9999 lies past the end of glyph_bitmap"},
        {edited(".bitmap_index = 3,", ".bitmap_index = 8,"),
         "the bitmap of U+0042 runs past the end of the font's bitmaps"},
        {edited(".glyph_id_start = 1,", ".glyph_id_start = 3,"),
         "character map 0 gives glyph 4, outside the 3 glyphs of the font"},
        {edited(".bitmap_index = 3, .adv_w = 80, .box_w = 4, .box_h = 6, .ofs_x = 0, .ofs_y = 0",
                ".bitmap_index = 3, .adv_w = 80, .box_w = 4, .box_h = 6, .ofs_x = 0, .ofs_y = -5"),
         "its glyphs' ink spans 11 rows, more than 7"},
        {edited("const lv_font_t f = {", "const lv_font_t f = {{"), "a ',' or '}' is missing"},
    };
    for (const auto& [text, reason] : cases) {
        WriteBytes(scratch / "bad.c", text);
        const Result refused = Glyphtool({"import", scratch / "bad.c", "-o", scratch / "bad"});
        EXPECT_EQ(refused.status, 1) << reason;
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
        EXPECT_NE(refused.err.find(reason), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(scratch / "bad"));
    }
    fs::create_directory(scratch / "empty");
    for (const std::string format : {"lvgl", "lvgl-bin"}) {
        const Result empty = Glyphtool({"export", format, scratch / "empty", "-o", scratch / "e"});
        EXPECT_EQ(empty.status, 1);
        EXPECT_NE(empty.err.find("holds no glyph"), std::string::npos) << empty.err;
        const Result none = Glyphtool(
            {"export", format, scratch / "5x7", "-o", scratch / "e", "--chars", "0x30-0x39"});
        EXPECT_EQ(none.status, 1);
        EXPECT_NE(none.err.find("no glyph of the folder is among the characters chosen"),
                  std::string::npos)
            << none.err;
        EXPECT_FALSE(fs::exists(scratch / "e"));
    }
}

}  // namespace
}  // namespace testing_glyphtool
