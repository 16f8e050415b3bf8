#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>

class QPainter;

// Flags handed to the cell painter, as the grid would draw the cell itself.
struct TGridDrawState {
    bool selected = false;  // inside the range selection
    bool focused = false;   // the current cell while the grid has focus
};

// An owner-drawn grid of 16 x 7 fixed-size cells with a current cell, a range
// selection and classic keyboard and mouse navigation. The grid draws its
// lines, border and focus mark; the cell contents are painted by OnDrawCell
// through Canvas().
class TDrawGrid : public QWidget {
  public:
    static constexpr int ColCount = 16;
    static constexpr int RowCount = 7;
    static constexpr int DefaultColWidth = 24;
    static constexpr int DefaultRowHeight = 24;
    static constexpr int GridLineWidth = 1;
    static constexpr int BorderWidth = 2;

    explicit TDrawGrid(QWidget* parent = nullptr);

    int Col() const { return col_; }
    int Row() const { return row_; }
    // Moves the current cell (clamped to the grid) and collapses the selection onto it.
    void SetCurrent(int col, int row);
    // The selected range of cells: left/top/right/bottom are inclusive column and row numbers.
    QRect Selection() const;

    // The rectangle of a cell in widget coordinates, without its grid lines.
    QRect CellRect(int col, int row) const;
    // The cell under a point in widget coordinates; a grid-line pixel belongs to
    // the cell left of or above it.
    std::optional<QPoint> CellAt(QPoint pos) const;

    // The painter of the paint in progress; null outside OnDrawCell.
    QPainter* Canvas() const { return canvas_; }

    // Background shown where no cell reaches.
    QColor Color = Qt::white;

    std::function<void(int col, int row, const QRect& rect, TGridDrawState state)> OnDrawCell;
    std::function<void()> OnDblClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int col_ = 0;
    int row_ = 0;
    QPoint anchor_{0, 0};  // the other end of the range selection
    bool dragging_ = false;
    bool pressInCell_ = false;  // whether the last left press landed on a cell
    int wheelDelta_ = 0;        // wheel rotation not yet turned into row steps
    QPainter* canvas_ = nullptr;
};
