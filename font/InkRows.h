#pragma once

#include <climits>
#include <optional>

namespace font {

// The rows a font's glyphs put ink on, in the font's own row numbers counted
// downwards (a font with its baseline at 0 has the rows above it negative; a
// column font has bit 0 as row 0).
struct InkRows {
    int first = INT_MAX;
    int last = INT_MIN;

    void Add(int row) {
        if (row < first) first = row;
        if (row > last) last = row;
    }
    void Add(const InkRows& other) {
        if (!other.Empty()) Add(other.first), Add(other.last);
    }
    bool Empty() const { return first > last; }
    // How many rows lie from the first inked row through the last; 0 when empty.
    long Span() const { return Empty() ? 0 : static_cast<long>(last) - first + 1; }
};

// The font row that becomes row 0 of the 7 cell rows: `declaredTop` (the row
// the font's own ascent puts there) when every inked row lies within the 7
// rows it starts, else the first inked row when the ink spans at most 7 rows.
// Nothing when the ink spans more than 7 rows: no placement keeps it whole.
std::optional<int> TopRowFor(const InkRows& ink, int declaredTop);

}  // namespace font
