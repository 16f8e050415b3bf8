/* The stand-in for the single-purpose converters (Adafruit's fontconvert,
 * u8g2's bdfconv) in bench/glyphtool.sh: FreeType loads a font and renders
 * the characters FIRST to LAST in one bit, and their bitmaps go out as a C
 * header, packed bit after bit with a table of widths and offsets, as a GFX
 * font keeps them. No checks and no options beyond these.
 *
 *   header_standin FONT FIRST LAST OUT
 */
#include <stdio.h>
#include <stdlib.h>

#include <ft2build.h>
#include FT_FREETYPE_H

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: header_standin FONT FIRST LAST OUT\n");
        return 2;
    }
    const unsigned long first = strtoul(argv[2], NULL, 0), last = strtoul(argv[3], NULL, 0);
    FT_Library library = NULL;
    FT_Face face = NULL;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, argv[1], 0, &face) != 0) return 1;
    if (face->num_fixed_sizes > 0)
        FT_Select_Size(face, 0);
    else
        FT_Set_Pixel_Sizes(face, 0, 7);
    FILE* out = fopen(argv[4], "w");
    if (out == NULL) return 1;

    fprintf(out, "const uint8_t FontBitmaps[] PROGMEM = {\n");
    unsigned long offset = 0;
    unsigned bits = 0, count = 0, column = 0;
    unsigned* offsets = calloc(last - first + 2, sizeof *offsets);
    unsigned char* widths = calloc(last - first + 1, 1);
    for (unsigned long code = first; code <= last; ++code) {
        offsets[code - first] = (unsigned)offset;
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO))
            continue;
        const FT_Bitmap* bitmap = &face->glyph->bitmap;
        widths[code - first] = (unsigned char)bitmap->width;
        for (unsigned y = 0; y < bitmap->rows; ++y)
            for (unsigned x = 0; x < bitmap->width; ++x) {
                bits = bits << 1 | ((bitmap->buffer[y * bitmap->pitch + x / 8] >> (7 - x % 8)) & 1);
                if (++count == 8) {
                    fprintf(out, "%s0x%02X,", column++ % 12 == 0 ? "\n  " : " ", bits);
                    bits = count = 0;
                    ++offset;
                }
            }
    }
    if (count != 0) fprintf(out, " 0x%02X", bits << (8 - count) & 0xFF);
    fprintf(out, " };\n\nconst GFXglyph FontGlyphs[] PROGMEM = {\n");
    for (unsigned long code = first; code <= last; ++code)
        fprintf(out, "  { %5u, %2u }, // 0x%02lX\n", offsets[code - first], widths[code - first],
                code);
    fprintf(out, "};\n");
    free(offsets);
    free(widths);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return fclose(out) == 0 ? 0 : 1;
}
