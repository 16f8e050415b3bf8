#include "font/FontImport.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_WINFONTS_H

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "font/Failure.h"
#include "font/Unicode.h"
#include "glyph/FileHead.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
constexpr int Columns = glyph::CellGrid::ColCount;

struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryCloser>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

// Windows code page 1252 from 0x80 to 0x9F; 0 where it defines no character.
// The other codes of a Windows font in that code page are Latin-1.
constexpr std::array<char32_t, 32> Cp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

class Importer {
  public:
    Importer(const std::filesystem::path& path, const std::vector<CharRange>& ranges)
        : path_(path), name_(Display(path)), ranges_(ranges) {
        // Checked first, so that a FIFO or a device is refused without blocking.
        const glyph::FileHead head = glyph::ReadFileHead(path.string(), 0);
        if (head.status == glyph::FileHeadStatus::IsDirectory ||
            head.status == glyph::FileHeadStatus::NotRegularFile)
            throw Failure(name_ + ": not a regular file");
        if (head.status != glyph::FileHeadStatus::Ok)
            throw Failure(name_ + ": cannot be opened: " + glyph::SystemErrorText(head.error));
        FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) != 0) throw Failure(name_ + ": cannot start FreeType");
        library_.reset(library);
    }

    ImportReport Run() {
        ChooseSize();
        ChooseCharacterMap();
        FT_UInt index = 0;
        for (FT_ULong code = FT_Get_First_Char(face_.get(), &index); index != 0;
             code = FT_Get_Next_Char(face_.get(), code, &index)) {
            const std::optional<char32_t> cp = Unicode(code);
            if (cp && Wanted(*cp)) ImportGlyph(*cp, index);
        }
        std::sort(report_.font.glyphs.begin(), report_.font.glyphs.end(),
                  [](const Glyph& a, const Glyph& b) { return a.codePoint < b.codePoint; });
        return std::move(report_);
    }

  private:
    Face Open(FT_Long faceIndex) const {
        FT_Face face = nullptr;
        if (FT_New_Face(library_.get(), path_.c_str(), faceIndex, &face) != 0)
            throw Failure(name_ + ": not a font FreeType can read");
        return Face(face);
    }

    // The tallest bitmap strike of at most 7 pixels over all faces of the
    // file (a Windows .fon holds one face a size), else a pixel size for the
    // outlines.
    void ChooseSize() {
        Face first = Open(0);
        const FT_Long faces = std::max<FT_Long>(first->num_faces, 1);
        std::vector<int> heights;
        FT_Long bestFace = -1;
        int bestStrike = 0;
        int bestHeight = 0;
        for (FT_Long f = 0; f < faces; ++f) {
            Face other = f == 0 ? nullptr : Open(f);
            const FT_Face face = f == 0 ? first.get() : other.get();
            for (int s = 0; s < face->num_fixed_sizes; ++s) {
                const int height = face->available_sizes[s].height;
                heights.push_back(height);
                if (height <= Rows && height > bestHeight)
                    bestFace = f, bestStrike = s, bestHeight = height;
            }
        }
        if (bestFace >= 0) {
            face_ = bestFace == 0 ? std::move(first) : Open(bestFace);
            if (FT_Select_Size(face_.get(), bestStrike) != 0)
                throw Failure(name_ + ": cannot select its " + std::to_string(bestHeight) +
                              "-pixel strike");
            ascent_ = static_cast<int>((face_->size->metrics.ascender + 32) >> 6);
            report_.source = "its " + std::to_string(bestHeight) + "-pixel strike";
            return;
        }
        face_ = std::move(first);
        if (!FT_IS_SCALABLE(face_.get())) {
            std::sort(heights.begin(), heights.end());
            heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
            std::string list;
            for (const int h : heights) list += (list.empty() ? "" : ", ") + std::to_string(h);
            throw Failure(name_ + ": has no strike of 7 pixels or less and no outlines (" +
                          (heights.empty() ? std::string("it has no strikes")
                                           : "its strikes are " + list + " pixels high") +
                          ")");
        }
        ChoosePixelSize();
    }

    void ChoosePixelSize() {
        int chosen = 0;
        for (int pixels = 1; pixels <= 4 * Rows; ++pixels) {
            if (FT_Set_Pixel_Sizes(face_.get(), 0, static_cast<FT_UInt>(pixels)) != 0) continue;
            const FT_Size_Metrics& m = face_->size->metrics;
            const int above = static_cast<int>((m.ascender + 63) >> 6);
            const int below = static_cast<int>((-m.descender + 63) >> 6);
            if (above + below <= Rows) chosen = pixels, ascent_ = above;
        }
        if (chosen == 0)
            throw Failure(name_ + ": its ascender and descender take more than 7 rows at any size");
        FT_Set_Pixel_Sizes(face_.get(), 0, static_cast<FT_UInt>(chosen));
        ascent_ = static_cast<int>((face_->size->metrics.ascender + 63) >> 6);
        report_.source = "its outlines at " + std::to_string(chosen) + " pixels";
    }

    void ChooseCharacterMap() {
        if (FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE) == 0) return;
        FT_WinFNT_HeaderRec header{};
        if (face_->num_charmaps > 0 && FT_Get_WinFNT_Header(face_.get(), &header) == 0 &&
            header.charset == FT_WinFNT_ID_CP1252) {
            FT_Set_Charmap(face_.get(), face_->charmaps[0]);
            windows1252_ = true;
            return;
        }
        throw Failure(name_ + ": has no Unicode character map");
    }

    std::optional<char32_t> Unicode(FT_ULong code) const {
        if (!windows1252_) {
            if (!IsScalarValue(static_cast<char32_t>(code))) return std::nullopt;
            return static_cast<char32_t>(code);
        }
        if (code > 0xFF) return std::nullopt;
        if (code < 0x80 || code >= 0xA0) return static_cast<char32_t>(code);
        const char32_t cp = Cp1252High[code - 0x80];
        return cp == 0 ? std::nullopt : std::optional<char32_t>(cp);
    }

    bool Wanted(char32_t cp) const {
        return ranges_.empty() || std::any_of(ranges_.begin(), ranges_.end(), [cp](CharRange r) {
                   return cp >= r.first && cp <= r.last;
               });
    }

    void Warn(char32_t cp, const std::string& what) {
        report_.warnings.push_back(name_ + ": " + DescribeCharacter(cp) + " " + what);
    }

    void ImportGlyph(char32_t cp, FT_UInt index) {
        const FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO;
        if (FT_Load_Glyph(face_.get(), index, flags) != 0) {
            Warn(cp, "cannot be loaded; skipped");
            ++report_.skipped;
            return;
        }
        const FT_GlyphSlot slot = face_->glyph;
        const long width = (slot->advance.x + 32) >> 6;
        if (width > Columns || width < 0) {
            Warn(cp, "is " + std::to_string(width) + " columns wide, not 0 to 16; skipped");
            ++report_.skipped;
            return;
        }
        Glyph glyph = BlankGlyph(cp, static_cast<int>(width));
        const int dropped = Draw(slot, glyph);
        if (dropped > 0) {
            Warn(cp, "loses " + std::to_string(dropped) + (dropped == 1 ? " pixel" : " pixels") +
                         " outside the 16 x 7 cells or beyond its width " + std::to_string(width));
            ++report_.clipped;
        }
        report_.font.glyphs.push_back(glyph);
    }

    // Sets the glyph's pixels from the rendered bitmap and returns how many set
    // pixels found no cell.
    int Draw(FT_GlyphSlot slot, Glyph& glyph) const {
        FT_Bitmap gray;
        FT_Bitmap_Init(&gray);
        const FT_Bitmap* bitmap = &slot->bitmap;
        if (bitmap->pixel_mode != FT_PIXEL_MODE_MONO) {
            if (FT_Bitmap_Convert(library_.get(), bitmap, &gray, 1) == 0) bitmap = &gray;
            if (bitmap->pixel_mode != FT_PIXEL_MODE_GRAY) {
                FT_Bitmap_Done(library_.get(), &gray);
                return 0;
            }
        }
        const bool mono = bitmap->pixel_mode == FT_PIXEL_MODE_MONO;
        const int threshold = std::max(1, bitmap->num_grays / 2);
        int dropped = 0;
        for (unsigned r = 0; r < bitmap->rows; ++r) {
            const int pitch = bitmap->pitch;
            const unsigned char* line =
                bitmap->buffer + (pitch >= 0
                                      ? r * static_cast<unsigned>(pitch)
                                      : (bitmap->rows - 1 - r) * static_cast<unsigned>(-pitch));
            for (unsigned c = 0; c < bitmap->width; ++c) {
                const bool set =
                    mono ? ((line[c / 8] >> (7 - c % 8)) & 1) != 0 : line[c] >= threshold;
                if (!set) continue;
                const int col = slot->bitmap_left + static_cast<int>(c);
                const int row = ascent_ - slot->bitmap_top + static_cast<int>(r);
                if (col >= 0 && col < glyph.width && row >= 0 && row < Rows)
                    glyph.cells.Set(col, row, glyph::clRed);
                else
                    ++dropped;
            }
        }
        FT_Bitmap_Done(library_.get(), &gray);
        return dropped;
    }

    std::filesystem::path path_;
    std::string name_;
    const std::vector<CharRange>& ranges_;
    Library library_;
    Face face_;
    int ascent_ = 0;
    bool windows1252_ = false;
    ImportReport report_;
};

}  // namespace

ImportReport ImportFont(const std::filesystem::path& path, const std::vector<CharRange>& ranges) {
    return Importer(path, ranges).Run();
}

}  // namespace font
