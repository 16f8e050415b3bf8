#include "font/FontImport.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_WINFONTS_H
#include FT_BDF_H
#include FT_FONT_FORMATS_H

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string_view>

#include "font/BdfGlyphCodes.h"
#include "font/Charset.h"
#include "font/ChartReader.h"
#include "font/Failure.h"
#include "font/HeaderFonts.h"
#include "font/Unicode.h"
#include "formats/csource/CSource.h"
#include "glyph/FileHead.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;
// The largest C header read as a font, and the largest chart file.
constexpr std::size_t MaxHeaderSize = 64 << 20;
constexpr std::size_t MaxChartFileSize = 256 << 20;
// Scalable fonts are tried from 1 pixel up to this size.
constexpr int MaxPixelSize = 4 * Rows;

// A code of a Unicode character map as a code point; codes too large for one
// stay past Unicode.
char32_t AsCodePoint(FT_ULong code) {
    return static_cast<char32_t>(std::min<FT_ULong>(code, 0xFFFFFFFF));
}

struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryCloser>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

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
        std::set<FT_ULong> reached;
        FT_UInt index = 0;
        for (FT_ULong code = FT_Get_First_Char(face_.get(), &index); index != 0;
             code = FT_Get_Next_Char(face_.get(), code, &index)) {
            reached.insert(code);
            ImportCode(code, index);
        }
        if (std::string_view(FT_Get_Font_Format(face_.get())) == "BDF") CountLostBdfGlyphs(reached);
        std::sort(report_.font.glyphs.begin(), report_.font.glyphs.end(),
                  [](const Glyph& a, const Glyph& b) { return a.codePoint < b.codePoint; });
        return std::move(report_);
    }

    bool FreeTypeOpens() const {
        FT_Face face = nullptr;
        if (FT_New_Face(library_.get(), path_.c_str(), 0, &face) != 0) return false;
        FT_Done_Face(face);
        return true;
    }

  private:
    Face Open(FT_Long faceIndex) const {
        FT_Face face = nullptr;
        if (FT_New_Face(library_.get(), path_.c_str(), faceIndex, &face) != 0)
            throw Failure(name_ + ": not a font FreeType can read");
        return Face(face);
    }

    // The tallest bitmap strike of at most 7 pixels over all faces of the
    // file (a Windows .fon holds one face a size), else the outlines of the
    // face that fit 7 rows at the largest pixel size.
    void ChooseSize() {
        Face first = Open(0);
        const FT_Long faces = std::max<FT_Long>(first->num_faces, 1);
        std::vector<int> heights;
        FT_Long bestFace = -1;
        int bestStrike = 0;
        int bestHeight = 0;
        bool scalable = false;
        for (FT_Long f = 0; f < faces; ++f) {
            Face other = f == 0 ? nullptr : Open(f);
            const FT_Face face = f == 0 ? first.get() : other.get();
            scalable = scalable || FT_IS_SCALABLE(face);
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
        if (!scalable) {
            std::sort(heights.begin(), heights.end());
            heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
            std::string list;
            for (const int h : heights) list += (list.empty() ? "" : ", ") + std::to_string(h);
            throw Failure(name_ + ": has no strike of 7 pixels or less and no outlines (" +
                          (heights.empty() ? std::string("it has no strikes")
                                           : "its strikes are " + list + " pixels high") +
                          ")");
        }
        ChooseOutlines(std::move(first), faces);
    }

    // Rows above and below the baseline that the face's lines take at its
    // current size: its ascender and descender, or when they say nothing, its
    // glyphs' bounding box.
    static std::pair<int, int> LineRows(FT_Face face) {
        const FT_Size_Metrics& m = face->size->metrics;
        FT_Pos above = m.ascender;
        FT_Pos below = -m.descender;
        if (above == 0 && below == 0) {
            above = FT_MulFix(face->bbox.yMax, m.y_scale);
            below = -FT_MulFix(face->bbox.yMin, m.y_scale);
        }
        return {static_cast<int>((above + 63) >> 6), static_cast<int>((below + 63) >> 6)};
    }

    // The largest pixel size at which the face's lines fit 7 rows, or 0.
    static int LargestFittingSize(FT_Face face) {
        int chosen = 0;
        for (int pixels = 1; pixels <= MaxPixelSize; ++pixels) {
            if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) continue;
            const auto [above, below] = LineRows(face);
            if (above + below > 0 && above + below <= Rows) chosen = pixels;
        }
        return chosen;
    }

    void ChooseOutlines(Face first, FT_Long faces) {
        FT_Long bestFace = -1;
        int bestSize = 0;
        for (FT_Long f = 0; f < faces; ++f) {
            Face other = f == 0 ? nullptr : Open(f);
            const FT_Face face = f == 0 ? first.get() : other.get();
            if (!FT_IS_SCALABLE(face)) continue;
            if (const int size = LargestFittingSize(face); size > bestSize)
                bestFace = f, bestSize = size;
        }
        if (bestFace < 0)
            throw Failure(name_ + ": its ascender and descender take more than 7 rows at any size");
        face_ = bestFace == 0 ? std::move(first) : Open(bestFace);
        FT_Set_Pixel_Sizes(face_.get(), 0, static_cast<FT_UInt>(bestSize));
        outlineSize_ = bestSize;
        ascent_ = LineRows(face_.get()).first;
        report_.source = "its outlines at " + std::to_string(bestSize) + " pixels";
        if (faces > 1) report_.source += " (face " + std::to_string(bestFace) + ")";
    }

    // Unicode when the font has it; else the charset its X11 properties or
    // its Windows header name, converted by iconv.
    void ChooseCharacterMap() {
        if (FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE) == 0) return;
        if (face_->num_charmaps == 0) throw Failure(name_ + ": has no character map");
        FT_Set_Charmap(face_.get(), face_->charmaps[0]);

        const char* encoding = nullptr;
        const char* registry = nullptr;
        FT_WinFNT_HeaderRec header{};
        if (FT_Get_BDF_Charset_ID(face_.get(), &encoding, &registry) == 0) {
            if (registry == nullptr || encoding == nullptr || *registry == 0) {
                report_.warnings.push_back(name_ +
                                           ": declares no charset; its codes are read as Unicode");
                return;
            }
            const std::string charset = std::string(registry) + "-" + encoding;
            if (AsciiLower(encoding) == "fontspecific") {
                report_.warnings.push_back(name_ + ": its charset " + charset +
                                           " has no standard meaning; its codes are read as "
                                           "Unicode");
                return;
            }
            charset_ = Charset::OfX11Font(registry, encoding);
            if (!charset_)
                throw Failure(name_ + ": its charset " + charset +
                              " cannot be converted to Unicode");
        } else if (FT_Get_WinFNT_Header(face_.get(), &header) == 0) {
            charset_ = Charset::OfWindowsFont(header.charset);
            if (!charset_)
                throw Failure(name_ + ": its Windows charset " + std::to_string(header.charset) +
                              " cannot be converted to Unicode");
        } else {
            throw Failure(name_ + ": has no Unicode character map");
        }
        report_.source += " in " + charset_->Name();
    }

    void Skip(const std::string& what) { report_.Skip(name_, what); }

    // Imports the glyph at one code of the character map, or says why not.
    void ImportCode(FT_ULong code, FT_UInt index) {
        std::optional<char32_t> cp = AsCodePoint(code);
        if (charset_) {
            cp = charset_->ToUnicode(code);
            if (!cp) {
                if (ranges_.empty())
                    Skip(CodeLabel(code) + " has no character in " + charset_->Name());
                return;
            }
        }
        if (!Wanted(*cp)) return;
        if (!IsScalarValue(*cp)) return Skip(CodePointLabel(*cp) + " is not a Unicode character");
        if (!imported_.insert(*cp).second)
            return Skip(DescribeCharacter(*cp) + " has a second glyph");
        ImportGlyph(*cp, index);
    }

    // The glyphs of a BDF file that no code of FreeType's character map gives:
    // a second glyph for a code, a glyph without one, a code past Unicode, and
    // the glyphs beyond the 65,535 that FreeType keeps of a face.
    void CountLostBdfGlyphs(const std::set<FT_ULong>& reached) {
        std::set<long> seen;
        for (const BdfGlyphCode& glyph : ReadBdfGlyphCodes(path_)) {
            if (glyph.code < 0) {
                if (ranges_.empty()) Skip("glyph " + Printable(glyph.name) + " has no code");
                continue;
            }
            const auto code = static_cast<FT_ULong>(glyph.code);
            const bool first = seen.insert(glyph.code).second;
            if (first && reached.contains(code)) continue;
            const std::optional<char32_t> cp =
                charset_ ? charset_->ToUnicode(code) : std::optional<char32_t>(AsCodePoint(code));
            if (!cp || !Wanted(*cp)) continue;
            if (!first)
                Skip(CodeLabel(code) + " has a second glyph (" + Printable(glyph.name) + ")");
            else if (!IsScalarValue(*cp))
                Skip(CodeLabel(code) + " is not a Unicode character");
            else
                Skip(DescribeCharacter(*cp) +
                     " lies beyond the 65,535 glyphs that FreeType reads of a face");
        }
    }

    // A code of the font's own charset as the user reads it: a code point
    // label for Unicode fonts, a hexadecimal code otherwise.
    std::string CodeLabel(FT_ULong code) const {
        if (!charset_) return CodePointLabel(AsCodePoint(code));
        return "code " + CHex(static_cast<unsigned>(code), 2);
    }

    bool Wanted(char32_t cp) const { return Picks(ranges_, cp); }

    // Whether every point of the glyph's outline falls on a pixel corner at
    // the size chosen, as in the fonts export ttf writes.
    bool OnPixelGrid(FT_UInt index) const {
        if (outlineSize_ == 0 || FT_Load_Glyph(face_.get(), index, FT_LOAD_NO_SCALE) != 0 ||
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

    void ImportGlyph(char32_t cp, FT_UInt index) {
        // Hinting can only move the pixels of an outline on the pixel grid:
        // FreeType's auto-hinter shifts edges in some scripts (Devanagari).
        const FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO |
                               (OnPixelGrid(index) ? FT_LOAD_NO_HINTING : 0);
        if (FT_Load_Glyph(face_.get(), index, flags) != 0)
            return Skip(DescribeCharacter(cp) + " cannot be loaded");
        const FT_GlyphSlot slot = face_->glyph;
        std::optional<Glyph> glyph = report_.Start(name_, cp, (slot->advance.x + 32) >> 6);
        if (!glyph) return;
        const int dropped = Draw(slot, *glyph);
        report_.Keep(name_, std::move(*glyph), dropped);
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
                if (!SetPixel(glyph, slot->bitmap_left + static_cast<int>(c),
                              ascent_ - slot->bitmap_top + static_cast<int>(r)))
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
    int outlineSize_ = 0;  // pixels per em of the outlines read, 0 for a bitmap strike
    std::optional<Charset> charset_;
    std::set<char32_t> imported_;
    ImportReport report_;
};

}  // namespace

ImportReport ImportFont(const std::filesystem::path& path, const ImportOptions& options) {
    Importer importer(path, options.ranges);
    const std::string name = Display(path);
    const bool headerOptions = options.ascent || !options.fontName.empty();
    if (const glyph::FileHead start = glyph::ReadFileHead(path.string(), 8); IsPng(start.bytes)) {
        if (headerOptions)
            throw Failure(name + ": --ascent and --font are for C headers, not charts");
        const glyph::FileHead whole = glyph::ReadFileHead(path.string(), MaxChartFileSize + 1);
        if (whole.status != glyph::FileHeadStatus::Ok)
            throw Failure(name + ": cannot be read: " + glyph::SystemErrorText(whole.error));
        if (whole.bytes.size() > MaxChartFileSize)
            throw Failure(name + ": a PNG larger than any chart it reads");
        return ReadChart(whole.bytes, name, options.ranges);
    }
    if (importer.FreeTypeOpens()) {
        if (headerOptions)
            throw Failure(name +
                          ": --ascent and --font are for C headers, and FreeType reads this "
                          "font");
        return importer.Run();
    }
    // A C header is text, and not too large to read whole.
    const glyph::FileHead head = glyph::ReadFileHead(path.string(), MaxHeaderSize + 1);
    const std::string_view text(reinterpret_cast<const char*>(head.bytes.data()),
                                head.bytes.size());
    if (head.status == glyph::FileHeadStatus::Ok && head.bytes.size() <= MaxHeaderSize &&
        text.find('\0') == std::string_view::npos) {
        if (auto report =
                ImportHeaderFont(text, name, {options.ranges, options.ascent, options.fontName}))
            return std::move(*report);
        throw Failure(name +
                      ": neither a font FreeType can read nor a C header holding a GFX "
                      "font or an MD_MAX72XX table");
    }
    throw Failure(name + ": not a font FreeType can read");
}

}  // namespace font
