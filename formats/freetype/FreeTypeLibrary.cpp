#include "formats/freetype/FreeTypeLibrary.h"

#include "font/LoadedLibrary.h"

namespace font {
namespace {

void BindFreeType(const glyph::SharedLibrary& library, FreeTypeFunctions& functions) {
#define BIND(function) library.Bind(#function, functions.function)
    BIND(FT_Init_FreeType);
    BIND(FT_Done_FreeType);
    BIND(FT_New_Memory_Face);
    BIND(FT_Done_Face);
    BIND(FT_Get_Font_Format);
    BIND(FT_Select_Size);
    BIND(FT_Set_Pixel_Sizes);
    BIND(FT_Select_Charmap);
    BIND(FT_Set_Charmap);
    BIND(FT_Get_First_Char);
    BIND(FT_Get_Next_Char);
    BIND(FT_Get_BDF_Charset_ID);
    BIND(FT_Get_WinFNT_Header);
    BIND(FT_Load_Glyph);
    BIND(FT_Render_Glyph);
    BIND(FT_Bitmap_Init);
    BIND(FT_Bitmap_Convert);
    BIND(FT_Bitmap_Done);
    BIND(FT_MulFix);
#undef BIND
}

}  // namespace

const FreeTypeFunctions& FreeType() {
    return LoadedLibrary<FreeTypeFunctions>("libfreetype.so.6", "FreeType reads fonts",
                                            BindFreeType);
}

}  // namespace font
