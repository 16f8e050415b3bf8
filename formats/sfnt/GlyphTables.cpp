#include "formats/sfnt/GlyphTables.h"

#include <algorithm>
#include <climits>

#include "formats/sfnt/BigEndianBytes.h"

namespace font {
namespace {

// Point flags: on the curve, and x or y the same as the point before.
constexpr unsigned OnCurve = 0x01;
constexpr unsigned SameX = 0x10;
constexpr unsigned SameY = 0x20;

struct Point {
    int x, y;
};

// One glyph's description: its contours' end points, no instructions, a flag
// a point and the coordinates as changes from the point before.
std::vector<std::uint8_t> Describe(const std::vector<std::vector<Point>>& contours, Box& box) {
    box = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const auto& contour : contours)
        for (const Point& p : contour)
            box = {std::min(box.xMin, p.x), std::min(box.yMin, p.y), std::max(box.xMax, p.x),
                   std::max(box.yMax, p.y)};
    BigEndianBytes out;
    out.I16(static_cast<int>(contours.size()));
    out.I16(box.xMin);
    out.I16(box.yMin);
    out.I16(box.xMax);
    out.I16(box.yMax);
    int last = -1;
    for (const auto& contour : contours) out.U16(static_cast<unsigned>(last += contour.size()));
    out.U16(0);  // no instructions
    Point before{0, 0};
    BigEndianBytes xs, ys;
    for (const auto& contour : contours)
        for (const Point& p : contour) {
            unsigned flags = OnCurve;
            if (p.x == before.x)
                flags |= SameX;
            else
                xs.I16(p.x - before.x);
            if (p.y == before.y)
                flags |= SameY;
            else
                ys.I16(p.y - before.y);
            out.U8(flags);
            before = p;
        }
    out.Append(xs.Bytes());
    out.Append(ys.Bytes());
    out.Pad(4);
    return out.Take();
}

}  // namespace

GlyphTables WriteGlyphTables(const SfntFont& font) {
    GlyphTables tables;
    tables.fontBox = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    BigEndianBytes glyf, loca;
    const int descent = EmPixels - font.ascent;
    for (const SfntGlyph& glyph : font.glyphs) {
        loca.U32(static_cast<std::uint32_t>(glyf.Size()));
        Box box;
        if (!glyph.contours.empty()) {
            std::vector<std::vector<Point>> contours;
            int points = 0;
            for (const Contour& contour : glyph.contours) {
                contours.emplace_back();
                for (const GridPoint p : contour)
                    contours.back().push_back({p.x * PixelUnits, (p.y - descent) * PixelUnits});
                points += static_cast<int>(contour.size());
            }
            glyf.Append(Describe(contours, box));
            tables.maxPoints = std::max(tables.maxPoints, points);
            tables.maxContours =
                std::max(tables.maxContours, static_cast<int>(glyph.contours.size()));
            Box& all = tables.fontBox;
            all = {std::min(all.xMin, box.xMin), std::min(all.yMin, box.yMin),
                   std::max(all.xMax, box.xMax), std::max(all.yMax, box.yMax)};
        }
        tables.boxes.push_back(box);
    }
    loca.U32(static_cast<std::uint32_t>(glyf.Size()));
    if (tables.fontBox.xMin > tables.fontBox.xMax) tables.fontBox = {};
    tables.glyf = glyf.Take();
    tables.loca = loca.Take();
    return tables;
}

}  // namespace font
