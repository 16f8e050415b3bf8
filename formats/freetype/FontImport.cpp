#include "formats/freetype/FontImport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string_view>
#include <unordered_map>

#include "font/BitmapPixels.h"
#include "font/Failure.h"
#include "font/FontFormat.h"
#include "font/FontLimits.h"
#include "font/InkRows.h"
#include "font/Unicode.h"
#include "formats/bitmapimport/BdfBoxes.h"
#include "formats/bitmapimport/BdfGlyphCodes.h"
#include "formats/bitmapimport/CharacterImport.h"
#include "formats/bitmapimport/LostBdfGlyphs.h"
#include "formats/bitmapimport/StrikeChoice.h"
#include "formats/bitmapimport/X11Charmap.h"
#include "formats/charset/Charset.h"
#include "formats/freetype/FreeTypeLibrary.h"
#include "formats/freetype/Gunzip.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
// Scalable fonts are tried from 1 pixel up to this size.
constexpr int MaxPixelSize = 4 * Rows;

struct LibraryCloser {
    void operator()(FT_Library library) const { FreeType().FT_Done_FreeType(library); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FreeType().FT_Done_Face(face); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryCloser>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

// The bitmap of a glyph slot as one bit or one byte a pixel, converted when
// FreeType gave another depth.
class SlotBitmap {
  public:
    SlotBitmap(FT_Library library, FT_GlyphSlot slot) : library_(library) {
        FreeType().FT_Bitmap_Init(&converted_);
        const FT_Bitmap* bitmap = &slot->bitmap;
        if (bitmap->pixel_mode != FT_PIXEL_MODE_MONO) {
            if (FreeType().FT_Bitmap_Convert(library_, bitmap, &converted_, 1) != 0 ||
                converted_.pixel_mode != FT_PIXEL_MODE_GRAY)
                return;
            bitmap = &converted_;
        }
        const bool mono = bitmap->pixel_mode == FT_PIXEL_MODE_MONO;
        const std::ptrdiff_t pitch = bitmap->pitch;
        const std::uint8_t* top = bitmap->buffer;
        // A negative pitch keeps the bottom row first in memory.
        if (pitch < 0 && bitmap->rows > 0) top += (bitmap->rows - 1) * -pitch;
        view_ = BitmapView{top,          pitch, bitmap->width,
                           bitmap->rows, mono,  std::max(1, bitmap->num_grays / 2)};
    }
    SlotBitmap(const SlotBitmap&) = delete;
    SlotBitmap& operator=(const SlotBitmap&) = delete;
    ~SlotBitmap() { FreeType().FT_Bitmap_Done(library_, &converted_); }

    // Nothing for a bitmap of a kind it cannot convert.
    const std::optional<BitmapView>& View() const { return view_; }

  private:
    FT_Library library_;
    FT_Bitmap converted_;
    std::optional<BitmapView> view_;
};

// A glyph as the pass that places the ink rendered it, kept for the import
// so that no glyph is rendered twice: its metrics, the rows it inks and its
// bitmap, copied top row first into the importer's pool.
struct RenderedGlyph {
    InkRows ink;
    bool kept = false;  // loaded, and its bitmap (if any) kept
    FT_Pos advance = 0;
    FT_Int left = 0, top = 0;
    bool drawn = false;  // has a bitmap of a kind it could convert
    std::size_t offset = 0, pitch = 0;
    unsigned width = 0, rows = 0;
    bool mono = true;
    int threshold = 1;
};

// The most bitmap bytes kept from the ink pass; glyphs past it are rendered
// again when imported.
constexpr std::size_t MaxKeptBitmapBytes = std::size_t{16} << 20;

// One bitmap strike of one face of the file.
struct Strike {
    FT_Long face = 0;
    int index = 0;
    int height = 0;
};

class Importer {
  public:
    // FreeType reads the font from the bytes the file was read into, so the
    // file is opened once, whatever FreeType makes of it.
    Importer(const FontFile& file, const std::vector<CharRange>& ranges)
        : name_(file.name), ranges_(ranges), bytes_(file.bytes) {
        FT_Library library = nullptr;
        if (FreeType().FT_Init_FreeType(&library) != 0)
            throw Failure(name_ + ": cannot start FreeType");
        library_.reset(library);
        const bool compressed = IsGzip(bytes_);
        if (compressed || IsBdf(bytes_)) {
            if (!file.whole || bytes_.size() > MaxFontBytes)
                throw Failure(name_ + ": larger than the " + std::to_string(MaxFontBytes >> 20) +
                              " MiB of any font it reads");
            // A compressed font is inflated once, here, rather than by
            // FreeType for every glyph it seeks back to.
            if (compressed) {
                inflated_ = Gunzip(bytes_, MaxFontBytes, name_);
                bytes_ = inflated_;
            }
            // A BDF font's glyph boxes are looked at before FreeType allocates them.
            if (IsBdf(bytes_)) CheckBdfBoxes(Text(), name_);
        } else if (!file.whole) {
            // Not read whole, so not given to FreeType: the other readers may say more.
            throw NotThisFormat("and larger than the " + std::to_string(MaxFontFileBytes >> 20) +
                                " MiB a font FreeType reads may take");
        }
    }

    // The font's bytes may be the importer's own: it stays where it is made.
    Importer(const Importer&) = delete;
    Importer& operator=(const Importer&) = delete;

    ImportReport Run() {
        ChooseSize();
        const bool bdf = std::string_view(FreeType().FT_Get_Font_Format(face_.get())) == "BDF";
        CharacterImport characters(name_, Codes(), report_);
        std::vector<unsigned long> reached;
        const auto import = [&](FT_ULong code, FT_UInt index) {
            if (bdf) reached.push_back(code);
            if (const std::optional<char32_t> cp = characters.Admit(code))
                ImportGlyph(characters, *cp, index);
        };
        if (codes_) {
            for (const auto& [code, index] : *codes_) import(code, index);
        } else {
            FT_UInt index = 0;
            for (FT_ULong code = FreeType().FT_Get_First_Char(face_.get(), &index); index != 0;
                 code = FreeType().FT_Get_Next_Char(face_.get(), code, &index))
                import(code, index);
        }
        if (bdf) {
            std::sort(reached.begin(), reached.end());
            SkipLostBdfGlyphs(ReadBdfGlyphCodes(Text()), reached, characters);
        }
        std::sort(report_.font.glyphs.begin(), report_.font.glyphs.end(),
                  [](const Glyph& a, const Glyph& b) { return a.codePoint < b.codePoint; });
        return std::move(report_);
    }

    bool IsBdfFont() const { return IsBdf(bytes_); }

    // Opens the file's first face, which the import then starts from.
    bool FreeTypeOpens() {
        FT_Face face = nullptr;
        if (const FT_Error error = NewFace(0, &face); error != 0) {
            if (error == FT_Err_Out_Of_Memory) throw OutOfMemory();
            return false;
        }
        face_.reset(face);
        faceIndex_ = 0;
        return true;
    }

  private:
    std::string_view Text() const {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }

    FT_Error NewFace(FT_Long faceIndex, FT_Face* face) const {
        return FreeType().FT_New_Memory_Face(library_.get(), bytes_.data(),
                                             static_cast<FT_Long>(bytes_.size()), faceIndex, face);
    }

    Face Open(FT_Long faceIndex) const {
        FT_Face face = nullptr;
        if (const FT_Error error = NewFace(faceIndex, &face); error != 0)
            throw error == FT_Err_Out_Of_Memory ? OutOfMemory()
                                                : Failure(name_ + ": not a font FreeType can read");
        return Face(face);
    }

    Failure OutOfMemory() const {
        return Failure(name_ + ": FreeType ran out of memory reading it");
    }

    // Makes face `faceIndex` the one read, opening it unless it already is.
    void UseFace(FT_Long faceIndex) {
        if (face_ && faceIndex_ == faceIndex) return;
        ForgetRendered();
        face_ = Open(faceIndex);
        faceIndex_ = faceIndex;
    }

    // The tallest bitmap strike whose glyphs' ink fits 7 rows, over all faces
    // of the file (a Windows .fon holds one face a size); else the tallest
    // strike of at most 7 pixels, its ink clipped as drawn; else the outlines
    // of the face that fit 7 rows at the largest pixel size.
    void ChooseSize() {
        UseFace(0);
        const FT_Long faces = std::max<FT_Long>(face_->num_faces, 1);
        std::vector<Strike> strikes;
        bool scalable = false;
        for (FT_Long f = 0; f < faces; ++f) {
            UseFace(f);
            scalable = scalable || FT_IS_SCALABLE(face_.get());
            for (int s = 0; s < face_->num_fixed_sizes; ++s)
                strikes.push_back({f, s, face_->available_sizes[s].height});
        }
        std::stable_sort(strikes.begin(), strikes.end(),
                         [](const Strike& a, const Strike& b) { return a.height > b.height; });
        StrikeChoice choice;
        for (std::size_t s = 0; s < strikes.size(); ++s) {
            const int declaredTop = -SelectStrike(strikes[s]);
            const auto [all, wanted] = PlaceInk();
            if (const auto top =
                    choice.Judge(s, strikes[s].height, declaredTop, all, wanted, ranges_.empty()))
                return TakeStrike(strikes[s], *top, declaredTop);
        }
        if (const std::optional<std::size_t> clipped = choice.Clipped()) {
            const int declaredTop = -SelectStrike(strikes[*clipped]);
            return TakeStrike(strikes[*clipped], declaredTop, declaredTop);
        }
        if (!scalable)
            throw Failure(name_ + (strikes.empty() ? ": has no strikes and no outlines"
                                                   : ": " + choice.NoneFits()));
        ChooseOutlines(faces);
    }

    // Selects the strike and the character map of its face; returns the
    // strike's ascent.
    int SelectStrike(const Strike& strike) {
        UseFace(strike.face);
        ForgetRendered();
        if (FreeType().FT_Select_Size(face_.get(), strike.index) != 0)
            throw Failure(name_ + ": cannot select its " + std::to_string(strike.height) +
                          "-pixel strike");
        ChooseCharacterMap();
        return static_cast<int>((face_->size->metrics.ascender + 32) >> 6);
    }

    void TakeStrike(const Strike& strike, int top, int declaredTop) {
        ascent_ = -top;
        report_.source = "its " + std::to_string(strike.height) + "-pixel strike" + mapSource_;
        report_.warnings.insert(report_.warnings.end(), mapWarnings_.begin(), mapWarnings_.end());
        SayStrikeRows(report_, name_, strike.height, top, declaredTop);
    }

    // The ink of every glyph the character map reaches, and of the characters
    // asked for among them. Each glyph's rendering and the codes of the map
    // are kept for the import, until the size, the face or the map changes.
    std::pair<InkRows, InkRows> PlaceInk() {
        ForgetRendered();
        codes_.emplace();
        const CharacterCodes codes = Codes();
        InkRows all;
        InkRows wanted;
        FT_UInt index = 0;
        for (FT_ULong code = FreeType().FT_Get_First_Char(face_.get(), &index); index != 0;
             code = FreeType().FT_Get_Next_Char(face_.get(), code, &index)) {
            codes_->emplace_back(code, index);
            auto [known, fresh] = rendered_.try_emplace(index);
            if (fresh) Render(index, known->second);
            all.Add(known->second.ink);
            if (const std::optional<char32_t> cp = codes.CodePoint(code); cp && codes.Wanted(*cp))
                wanted.Add(known->second.ink);
        }
        return {all, wanted};
    }

    CharacterCodes Codes() const {
        return CharacterCodes(charset_ ? &*charset_ : nullptr, ranges_);
    }

    // Renders the glyph at `index` into `glyph`: the rows it inks, numbered
    // from the baseline (none for a glyph that cannot be loaded or is
    // refused for its box), and while the pool has room, all the import
    // needs of it.
    void Render(FT_UInt index, RenderedGlyph& glyph) {
        if (LoadGlyph(index) != Load::Done) return;
        const FT_GlyphSlot slot = face_->glyph;
        const SlotBitmap bitmap(library_.get(), slot);
        if (bitmap.View()) glyph.ink = InkOf(*bitmap.View(), -slot->bitmap_top);
        glyph.advance = slot->advance.x;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        if (!bitmap.View()) {
            glyph.kept = true;
            return;
        }
        const BitmapView& view = *bitmap.View();
        const std::size_t rowBytes = view.mono ? (view.width + 7) / 8 : view.width;
        if (pool_.size() + rowBytes * view.rows > MaxKeptBitmapBytes) return;
        glyph.offset = pool_.size();
        for (unsigned r = 0; r < view.rows; ++r)
            pool_.insert(pool_.end(), view.Row(r), view.Row(r) + rowBytes);
        glyph.kept = glyph.drawn = true;
        glyph.pitch = rowBytes;
        glyph.width = view.width;
        glyph.rows = view.rows;
        glyph.mono = view.mono;
        glyph.threshold = view.threshold;
    }

    BitmapView KeptView(const RenderedGlyph& glyph) const {
        return BitmapView{pool_.data() + glyph.offset,
                          static_cast<std::ptrdiff_t>(glyph.pitch),
                          glyph.width,
                          glyph.rows,
                          glyph.mono,
                          glyph.threshold};
    }

    void ForgetRendered() {
        rendered_.clear();
        pool_.clear();
        codes_.reset();
    }

    // Rows above and below the baseline that the face's lines take at its
    // current size: its ascender and descender, or when they say nothing, its
    // glyphs' bounding box.
    static std::pair<int, int> LineRows(FT_Face face) {
        const FT_Size_Metrics& m = face->size->metrics;
        FT_Pos above = m.ascender;
        FT_Pos below = -m.descender;
        if (above == 0 && below == 0) {
            above = FreeType().FT_MulFix(face->bbox.yMax, m.y_scale);
            below = -FreeType().FT_MulFix(face->bbox.yMin, m.y_scale);
        }
        return {static_cast<int>((above + 63) >> 6), static_cast<int>((below + 63) >> 6)};
    }

    // The largest pixel size at which the face's lines fit 7 rows, or 0.
    static int LargestFittingSize(FT_Face face) {
        int chosen = 0;
        for (int pixels = 1; pixels <= MaxPixelSize; ++pixels) {
            if (FreeType().FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) continue;
            const auto [above, below] = LineRows(face);
            if (above + below > 0 && above + below <= Rows) chosen = pixels;
        }
        return chosen;
    }

    void ChooseOutlines(FT_Long faces) {
        FT_Long bestFace = -1;
        int bestSize = 0;
        for (FT_Long f = 0; f < faces; ++f) {
            UseFace(f);
            if (!FT_IS_SCALABLE(face_.get())) continue;
            if (const int size = LargestFittingSize(face_.get()); size > bestSize)
                bestFace = f, bestSize = size;
        }
        if (bestFace < 0)
            throw Failure(name_ + ": its ascender and descender take more than 7 rows at any size");
        UseFace(bestFace);
        FreeType().FT_Set_Pixel_Sizes(face_.get(), 0, static_cast<FT_UInt>(bestSize));
        outlineSize_ = bestSize;
        ChooseCharacterMap();
        const int declaredTop = -LineRows(face_.get()).first;
        const auto [all, wanted] = PlaceInk();
        const int top =
            TopRowByInk(all, wanted, ranges_.empty(), declaredTop).first.value_or(declaredTop);
        ascent_ = -top;
        report_.source = "its outlines at " + std::to_string(bestSize) + " pixels";
        if (faces > 1) report_.source += " (face " + std::to_string(bestFace) + ")";
        report_.source += mapSource_;
        report_.warnings.insert(report_.warnings.end(), mapWarnings_.begin(), mapWarnings_.end());
        SayMovedRows(report_, name_, top, declaredTop);
    }

    // Unicode when the font has it; else the charset its X11 properties or
    // its Windows header name, converted by iconv. What it has to say waits
    // until the face is taken.
    void ChooseCharacterMap() {
        ForgetRendered();
        charset_.reset();
        mapWarnings_.clear();
        mapSource_.clear();
        if (FreeType().FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE) == 0) return;
        if (face_->num_charmaps == 0) throw Failure(name_ + ": has no character map");
        FreeType().FT_Set_Charmap(face_.get(), face_->charmaps[0]);

        const char* encoding = nullptr;
        const char* registry = nullptr;
        FT_WinFNT_HeaderRec header{};
        if (FreeType().FT_Get_BDF_Charset_ID(face_.get(), &encoding, &registry) == 0) {
            X11Charmap map = ChooseX11Charmap(name_, registry, encoding);
            mapWarnings_ = std::move(map.warnings);
            charset_ = std::move(map.charset);
            if (!charset_) return;
        } else if (FreeType().FT_Get_WinFNT_Header(face_.get(), &header) == 0) {
            charset_ = Charset::OfWindowsFont(header.charset);
            if (!charset_)
                throw Failure(name_ + ": its Windows charset " + std::to_string(header.charset) +
                              " cannot be converted to Unicode");
        } else {
            throw Failure(name_ + ": has no Unicode character map");
        }
        mapSource_ = " in " + charset_->Name();
    }

    // Whether every point of the glyph's outline falls on a pixel corner at
    // the size chosen, as in the fonts export ttf writes.
    bool OnPixelGrid(FT_UInt index) const {
        if (outlineSize_ == 0 ||
            FreeType().FT_Load_Glyph(face_.get(), index, FT_LOAD_NO_SCALE) != 0 ||
            face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return false;
        const FT_Outline& outline = face_->glyph->outline;
        const long em = face_->units_per_EM;
        for (int i = 0; i < outline.n_points; ++i)
            if ((outline.points[i].x * outlineSize_) % em != 0 ||
                (outline.points[i].y * outlineSize_) % em != 0)
                return false;
        return true;
    }

    enum class Load { Done, Failed, TooLarge };

    // Loads the glyph at `index` as a bitmap of one bit a pixel where it has
    // outlines; a glyph whose box is far beyond the cells is looked at no
    // further than its metrics.
    Load LoadGlyph(FT_UInt index) {
        // Hinting can only move the pixels of an outline on the pixel grid:
        // FreeType's auto-hinter shifts edges in some scripts (Devanagari).
        const FT_Int32 flags = FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO |
                               (OnPixelGrid(index) ? FT_LOAD_NO_HINTING : 0);
        if (FreeType().FT_Load_Glyph(face_.get(), index, flags | FT_LOAD_BITMAP_METRICS_ONLY) != 0)
            return Load::Failed;
        const FT_GlyphSlot slot = face_->glyph;
        constexpr FT_Pos Side = FT_Pos{MaxGlyphBoxSide} * 64;
        if (slot->metrics.width > Side || slot->metrics.height > Side) return Load::TooLarge;
        if (slot->format == FT_GLYPH_FORMAT_BITMAP) {
            if (FreeType().FT_Load_Glyph(face_.get(), index, flags) != 0) return Load::Failed;
        } else if (FreeType().FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
            return Load::Failed;
        }
        if (slot->bitmap.width > MaxGlyphBoxSide || slot->bitmap.rows > MaxGlyphBoxSide)
            return Load::TooLarge;
        return Load::Done;
    }

    // "32000 x 32000 pixels", from the metrics of the glyph last loaded.
    std::string BoxText() const {
        const FT_Glyph_Metrics& m = face_->glyph->metrics;
        const FT_Bitmap& b = face_->glyph->bitmap;
        const auto side = [](FT_Pos metric, unsigned pixels) {
            return std::to_string(std::max<FT_Pos>(metric / 64, pixels));
        };
        return side(m.width, b.width) + " x " + side(m.height, b.rows) + " pixels";
    }

    void ImportGlyph(CharacterImport& characters, char32_t cp, FT_UInt index) {
        if (const auto kept = rendered_.find(index); kept != rendered_.end() && kept->second.kept) {
            const RenderedGlyph& rendered = kept->second;
            const BitmapView view = KeptView(rendered);
            return characters.Keep(cp, (rendered.advance + 32) >> 6,
                                   rendered.drawn ? &view : nullptr, rendered.left,
                                   static_cast<long>(ascent_) - rendered.top);
        }
        switch (LoadGlyph(index)) {
            case Load::Done:
                break;
            case Load::Failed:
                return characters.Skip(DescribeCharacter(cp) + " cannot be loaded");
            case Load::TooLarge:
                return characters.Skip(DescribeCharacter(cp) + " has a box of " + BoxText() +
                                       ", far beyond the 16 x 7 cells");
        }
        const FT_GlyphSlot slot = face_->glyph;
        const SlotBitmap bitmap(library_.get(), slot);
        characters.Keep(cp, (slot->advance.x + 32) >> 6, bitmap.View() ? &*bitmap.View() : nullptr,
                        slot->bitmap_left, static_cast<long>(ascent_) - slot->bitmap_top);
    }

    std::string name_;
    const std::vector<CharRange>& ranges_;
    std::span<const std::uint8_t> bytes_;  // the font: the file's bytes, or inflated_
    std::vector<std::uint8_t> inflated_;   // a compressed font, inflated
    std::unordered_map<FT_UInt, RenderedGlyph> rendered_;
    std::vector<std::uint8_t> pool_;                                  // the kept bitmaps
    std::optional<std::vector<std::pair<FT_ULong, FT_UInt>>> codes_;  // the map, as PlaceInk went
    Library library_;
    Face face_;
    FT_Long faceIndex_ = -1;
    int ascent_ = 0;       // rows above the baseline that row 0 lies
    int outlineSize_ = 0;  // pixels per em of the outlines read, 0 for a bitmap strike
    std::optional<Charset> charset_;
    std::vector<std::string> mapWarnings_;
    std::string mapSource_;
    ImportReport report_;
};

// Runs `work`, turning an allocation that fails into a Failure naming the font.
template <typename Work>
auto NamingMemory(const FontFile& file, Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        throw Failure(file.name + ": not enough memory to read it");
    }
}

}  // namespace

std::optional<ImportReport> ReadFreeTypeFont(const FontFile& file,
                                             const std::vector<CharRange>& ranges) {
    Importer importer = NamingMemory(file, [&] { return Importer(file, ranges); });
    if (importer.FreeTypeOpens()) return NamingMemory(file, [&] { return importer.Run(); });
    if (importer.IsBdfFont()) throw Failure(file.name + ": a BDF font that FreeType cannot read");
    return std::nullopt;
}

}  // namespace font
