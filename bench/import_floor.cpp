// The floor under `glyphtool import`: FreeType alone loading and rendering
// every mapped glyph of a font in one bit, then plain writes of as many
// 11-byte files into a folder. No checks, no conversion, no atomic replace.
//
//   import_floor FONT DIR
#include <fcntl.h>
#include <unistd.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: import_floor FONT DIR\n");
        return 2;
    }
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, argv[1], 0, &face) != 0) return 1;
    if (face->num_fixed_sizes > 0) FT_Select_Size(face, 0);
    unsigned long inked = 0;
    int glyphs = 0;
    FT_UInt index = 0;
    for (FT_ULong code = FT_Get_First_Char(face, &index); index != 0;
         code = FT_Get_Next_Char(face, code, &index)) {
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO) ==
            0)
            inked += face->glyph->bitmap.rows;
        ++glyphs;
    }
    const char bytes[11] = {5, 0, 7, 0};
    for (int i = 0; i < glyphs; ++i) {
        const std::string path = std::string(argv[2]) + "/" + std::to_string(i) + ".dat";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, bytes, sizeof bytes) != sizeof bytes || ::close(fd) != 0) return 1;
    }
    std::printf("%d glyphs, %lu bitmap rows\n", glyphs, inked);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return 0;
}
