#include "formats/sfnt/PixelOutline.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace font {
namespace {

constexpr int Rows = glyph::CellGrid::RowCount;

// The four directions an edge of a pixel runs in, clockwise from east, so
// that the next one is a right turn.
constexpr std::array<GridPoint, 4> Steps = {{{1, 0}, {0, -1}, {-1, 0}, {0, 1}}};
enum Direction { East, South, West, North };

int RightOf(int d) {
    return (d + 1) % 4;
}
int LeftOf(int d) {
    return (d + 3) % 4;
}

// The boundary edges of the set pixels, each running with the ink on its
// right, kept by the corner it starts from and its direction.
class Edges {
  public:
    explicit Edges(const Glyph& glyph) : columns_(glyph.width + 1), starts_(columns_ * (Rows + 1)) {
        auto set = [&glyph](int col, int row) {
            return col >= 0 && col < glyph.width && row >= 0 && row < Rows && glyph.Pixel(col, row);
        };
        for (int row = 0; row < Rows; ++row)
            for (int col = 0; col < glyph.width; ++col) {
                if (!set(col, row)) continue;
                const int bottom = Rows - 1 - row;
                if (!set(col, row - 1)) Add({col, bottom + 1}, East);
                if (!set(col + 1, row)) Add({col + 1, bottom + 1}, South);
                if (!set(col, row + 1)) Add({col + 1, bottom}, West);
                if (!set(col - 1, row)) Add({col, bottom}, North);
            }
    }

    bool Has(GridPoint from, int d) const { return (starts_[Index(from)] >> d) & 1u; }
    void Remove(GridPoint from, int d) { starts_[Index(from)] &= ~(1u << d); }

    // An edge not yet followed, from the top left, or nothing when none is left.
    bool Next(GridPoint& from, int& d) const {
        for (int y = Rows; y >= 0; --y)
            for (int x = 0; x < columns_; ++x)
                for (int dir = 0; dir < 4; ++dir)
                    if (Has({x, y}, dir)) {
                        from = {x, y};
                        d = dir;
                        return true;
                    }
        return false;
    }

  private:
    std::size_t Index(GridPoint p) const { return static_cast<std::size_t>(p.y * columns_ + p.x); }
    void Add(GridPoint from, int d) { starts_[Index(from)] |= 1u << d; }

    int columns_;
    std::vector<std::uint8_t> starts_;
};

GridPoint Plus(GridPoint p, int d) {
    return {p.x + Steps[d].x, p.y + Steps[d].y};
}

// The corners of one closed walk along the edges, starting with `start` in
// direction `d`. At a corner where two pixels meet diagonally two edges
// leave it; turning right keeps to the pixels walked around so far.
std::vector<GridPoint> Walk(Edges& edges, GridPoint start, int d) {
    std::vector<GridPoint> corners{start};
    GridPoint at = Plus(start, d);
    edges.Remove(start, d);
    while (true) {
        int next = -1;
        for (const int turn : {RightOf(d), d, LeftOf(d)})
            if (edges.Has(at, turn)) {
                next = turn;
                break;
            }
        if (next < 0) break;  // back at the start: its edge is taken
        corners.push_back(at);
        edges.Remove(at, next);
        at = Plus(at, next);
        d = next;
    }
    return corners;
}

// A walk that passes a corner twice (where it turned past a diagonal touch)
// as simple loops: each return to a corner closes the loop since then.
std::vector<std::vector<GridPoint>> SimpleLoops(const std::vector<GridPoint>& walk) {
    struct Hash {
        std::size_t operator()(GridPoint p) const {
            return std::hash<long long>()((static_cast<long long>(p.x) << 32) ^ p.y);
        }
    };
    std::vector<std::vector<GridPoint>> loops;
    std::vector<GridPoint> path;
    std::unordered_map<GridPoint, std::size_t, Hash> place;
    for (const GridPoint p : walk) {
        if (const auto seen = place.find(p); seen != place.end()) {
            const std::size_t from = seen->second;
            loops.emplace_back(path.begin() + static_cast<std::ptrdiff_t>(from), path.end());
            for (std::size_t i = from + 1; i < path.size(); ++i) place.erase(path[i]);
            path.resize(from + 1);
            continue;
        }
        place.emplace(p, path.size());
        path.push_back(p);
    }
    loops.push_back(std::move(path));
    return loops;
}

// The loop with only the points where it turns.
Contour Corners(const std::vector<GridPoint>& loop) {
    Contour contour;
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i) {
        const GridPoint before = loop[(i + n - 1) % n], here = loop[i], after = loop[(i + 1) % n];
        const GridPoint in{here.x - before.x, here.y - before.y};
        const GridPoint out{after.x - here.x, after.y - here.y};
        if (!(in == out)) contour.push_back(here);
    }
    return contour;
}

}  // namespace

std::vector<Contour> TraceOutline(const Glyph& glyph) {
    Edges edges(glyph);
    std::vector<Contour> contours;
    GridPoint start;
    int d = 0;
    while (edges.Next(start, d))
        for (const std::vector<GridPoint>& loop : SimpleLoops(Walk(edges, start, d)))
            contours.push_back(Corners(loop));
    return contours;
}

}  // namespace font
