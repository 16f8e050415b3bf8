#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_WINFONTS_H
#include FT_BDF_H
#include FT_FONT_FORMATS_H

namespace font {

// The FreeType functions that import a font. FreeType is loaded the first
// time a font is read through it rather than at every start: most runs read
// glyph files only.
struct FreeTypeFunctions {
    decltype(&::FT_Init_FreeType) FT_Init_FreeType;
    decltype(&::FT_Done_FreeType) FT_Done_FreeType;
    decltype(&::FT_New_Memory_Face) FT_New_Memory_Face;
    decltype(&::FT_Done_Face) FT_Done_Face;
    decltype(&::FT_Get_Font_Format) FT_Get_Font_Format;
    decltype(&::FT_Select_Size) FT_Select_Size;
    decltype(&::FT_Set_Pixel_Sizes) FT_Set_Pixel_Sizes;
    decltype(&::FT_Select_Charmap) FT_Select_Charmap;
    decltype(&::FT_Set_Charmap) FT_Set_Charmap;
    decltype(&::FT_Get_First_Char) FT_Get_First_Char;
    decltype(&::FT_Get_Next_Char) FT_Get_Next_Char;
    decltype(&::FT_Get_BDF_Charset_ID) FT_Get_BDF_Charset_ID;
    decltype(&::FT_Get_WinFNT_Header) FT_Get_WinFNT_Header;
    decltype(&::FT_Load_Glyph) FT_Load_Glyph;
    decltype(&::FT_Render_Glyph) FT_Render_Glyph;
    decltype(&::FT_Bitmap_Init) FT_Bitmap_Init;
    decltype(&::FT_Bitmap_Convert) FT_Bitmap_Convert;
    decltype(&::FT_Bitmap_Done) FT_Bitmap_Done;
    decltype(&::FT_MulFix) FT_MulFix;
};

// FreeType, loaded on the first call and kept until the program ends. Raises
// Failure when it cannot be loaded.
const FreeTypeFunctions& FreeType();

}  // namespace font
