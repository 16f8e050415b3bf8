#pragma once

#include <array>

#include "glyph/Color.h"

namespace glyph {

// The 16 x 7 cells of one glyph, each holding the colour it is painted with.
// The glyph width is never stored here: every operation that needs it takes
// it as an argument, and any width is clamped to 0..16 so no call can reach
// outside the 112 cells.
class CellGrid {
  public:
    static constexpr int ColCount = 16;
    static constexpr int RowCount = 7;
    static constexpr int CellCount = ColCount * RowCount;

    CellGrid() { cells_.fill(clWindow); }

    void Initialise(int width);
    void Toggle(int col, int row);
    void ApplyWidth(int width);
    void Reset(int width);

    // Throws std::out_of_range for a cell outside the grid.
    TColor Get(int col, int row) const;
    void Set(int col, int row, TColor colour);

    static bool Contains(int col, int row) {
        return col >= 0 && col < ColCount && row >= 0 && row < RowCount;
    }
    static constexpr int Index(int col, int row) { return col * RowCount + row; }

    bool operator==(const CellGrid&) const = default;

  private:
    static int ClampWidth(int width);
    void MarkOutside(int width);

    std::array<TColor, CellCount> cells_{};
};

inline bool IsSet(TColor colour) {
    return colour == clRed;
}
inline bool IsClear(TColor colour) {
    return colour == clWindow;
}

}  // namespace glyph
