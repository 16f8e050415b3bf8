#include "font/InkRows.h"

#include "glyph/CellGrid.h"

namespace font {

std::optional<int> TopRowFor(const InkRows& ink, int declaredTop) {
    constexpr int Rows = glyph::CellGrid::RowCount;
    if (ink.Empty()) return declaredTop;
    if (ink.Span() > Rows) return std::nullopt;
    if (ink.first >= declaredTop &&
        static_cast<long>(ink.last) < static_cast<long>(declaredTop) + Rows)
        return declaredTop;
    return ink.first;
}

}  // namespace font
