#include "glyph/CellGrid.h"

#include <algorithm>
#include <stdexcept>

namespace glyph {

int CellGrid::ClampWidth(int width) {
    return std::clamp(width, 0, ColCount);
}

void CellGrid::MarkOutside(int width) {
    for (int row = 0; row < RowCount; ++row)
        for (int col = ClampWidth(width); col < ColCount; ++col)
            cells_[Index(col, row)] = clBtnFace;
}

void CellGrid::Initialise(int width) {
    cells_.fill(clWindow);
    MarkOutside(width);
}

void CellGrid::Toggle(int col, int row) {
    if (!Contains(col, row)) return;
    TColor& cell = cells_[Index(col, row)];
    if (cell == clWindow)
        cell = clRed;
    else if (cell == clRed)
        cell = clWindow;
}

void CellGrid::ApplyWidth(int width) {
    for (int row = 0; row < RowCount; ++row)
        for (int col = 0; col < ClampWidth(width); ++col)
            if (cells_[Index(col, row)] == clBtnFace) cells_[Index(col, row)] = clWindow;
    MarkOutside(width);
}

void CellGrid::Reset(int width) {
    for (int row = 0; row < RowCount; ++row)
        for (int col = 0; col < ClampWidth(width); ++col) cells_[Index(col, row)] = clWindow;
    MarkOutside(width);
}

TColor CellGrid::Get(int col, int row) const {
    if (!Contains(col, row)) throw std::out_of_range("cell outside the glyph grid");
    return cells_[Index(col, row)];
}

void CellGrid::Set(int col, int row, TColor colour) {
    if (!Contains(col, row)) throw std::out_of_range("cell outside the glyph grid");
    cells_[Index(col, row)] = colour;
}

}  // namespace glyph
