#include "formats/bitmapimport/StrikeChoice.h"

#include "glyph/CellGrid.h"

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;

// "the 5th row above the baseline", "the 1st row below the baseline"; a font
// row is negative above the baseline.
std::string RowName(int row) {
    const long n = row < 0 ? -static_cast<long>(row) : static_cast<long>(row) + 1;
    const char* suffix = n % 100 / 10 == 1 ? "th"
                         : n % 10 == 1     ? "st"
                         : n % 10 == 2     ? "nd"
                         : n % 10 == 3     ? "rd"
                                           : "th";
    return "the " + std::to_string(n) + suffix + " row " + (row < 0 ? "above" : "below") +
           " the baseline";
}

}  // namespace

std::pair<std::optional<int>, InkRows> TopRowByInk(const InkRows& all, const InkRows& wanted,
                                                   bool wantsAll, int declaredTop) {
    if (const std::optional<int> top = TopRowFor(all, declaredTop)) return {top, all};
    if (wantsAll) return {std::nullopt, all};
    return {TopRowFor(wanted, declaredTop), wanted};
}

std::optional<int> StrikeChoice::Judge(std::size_t strike, int height, int declaredTop,
                                       const InkRows& all, const InkRows& wanted, bool wantsAll) {
    const auto [top, ink] = TopRowByInk(all, wanted, wantsAll, declaredTop);
    if (top) return top;
    if (!clipped_ && height > 0 && height <= Rows) clipped_ = strike;
    spans_ += (spans_.empty() ? "" : ", ") + std::to_string(ink.Span()) + " rows in its " +
              std::to_string(height) + "-pixel strike";
    return std::nullopt;
}

std::string StrikeChoice::NoneFits() const {
    return "its glyphs' ink spans more than 7 rows (" + spans_ + "), and it has no outlines";
}

void SayStrikeRows(ImportReport& report, const std::string& fontName, int height, int top,
                   int declaredTop) {
    const long first = static_cast<long>(top) - declaredTop + 1;
    if (height > Rows && first >= 1 && first + Rows - 1 <= height)
        report.warnings.push_back(fontName + ": takes rows " + std::to_string(first) + " to " +
                                  std::to_string(first + Rows - 1) + " of its " +
                                  std::to_string(height) +
                                  "-pixel strike, where its glyphs' ink lies");
    else
        SayMovedRows(report, fontName, top, declaredTop);
}

void SayMovedRows(ImportReport& report, const std::string& fontName, int top, int declaredTop) {
    if (top == declaredTop) return;
    report.warnings.push_back(fontName + ": its 7 rows start at " + RowName(top) +
                              ", where its glyphs' ink begins, not at its ascent of " +
                              std::to_string(-static_cast<long>(declaredTop)));
}

}  // namespace font
