#include "editor/DrawGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <vector>

namespace {

constexpr int ColPitch = TDrawGrid::DefaultColWidth + TDrawGrid::GridLineWidth;
constexpr int RowPitch = TDrawGrid::DefaultRowHeight + TDrawGrid::GridLineWidth;
constexpr int WheelStep = 120;  // QWheelEvent angle delta of one notch

const QColor GridLineColor(0xC0, 0xC0, 0xC0);
const QColor EdgeShadow(0x80, 0x80, 0x80);
const QColor EdgeHighlight(0xFF, 0xFF, 0xFF);
const QColor EdgeDarkShadow(0x00, 0x00, 0x00);
const QColor EdgeLight(0xC0, 0xC0, 0xC0);

// Resets the grid's canvas pointer even when the cell painter throws.
class CanvasScope {
  public:
    CanvasScope(QPainter*& slot, QPainter* painter) : slot_(slot) { slot_ = painter; }
    ~CanvasScope() { slot_ = nullptr; }
    CanvasScope(const CanvasScope&) = delete;
    CanvasScope& operator=(const CanvasScope&) = delete;

  private:
    QPainter*& slot_;
};

// One ring of a Windows sunken edge: the top and left sides in `topLeft`, the
// bottom and right sides (including both far corners) in `bottomRight`.
void DrawEdgeRing(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// Inverts every other pixel of the rectangle's outline, as the classic dotted focus mark.
void DrawFocusMark(QPainter& p, const QRect& r) {
    std::vector<QPoint> dots;
    const auto add = [&](int x, int y) {
        if ((x + y) % 2 == 0) dots.emplace_back(x, y);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        add(x, r.top());
        if (r.bottom() != r.top()) add(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        add(r.left(), y);
        if (r.right() != r.left()) add(r.right(), y);
    }
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 0));
    p.drawPoints(dots.data(), static_cast<int>(dots.size()));
    p.restore();
}

}  // namespace

TDrawGrid::TDrawGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDrawGrid::SetCurrent(int col, int row) {
    col_ = std::clamp(col, 0, ColCount - 1);
    row_ = std::clamp(row, 0, RowCount - 1);
    anchor_ = QPoint(col_, row_);
    update();
}

QRect TDrawGrid::Selection() const {
    return QRect(QPoint(std::min(col_, anchor_.x()), std::min(row_, anchor_.y())),
                 QPoint(std::max(col_, anchor_.x()), std::max(row_, anchor_.y())));
}

QRect TDrawGrid::CellRect(int col, int row) const {
    if (col < 0 || col >= ColCount || row < 0 || row >= RowCount) return QRect();
    return QRect(BorderWidth + col * ColPitch, BorderWidth + row * RowPitch, DefaultColWidth,
                 DefaultRowHeight);
}

std::optional<QPoint> TDrawGrid::CellAt(QPoint pos) const {
    const int x = pos.x() - BorderWidth;
    const int y = pos.y() - BorderWidth;
    const int clientWidth = width() - 2 * BorderWidth;
    const int clientHeight = height() - 2 * BorderWidth;
    if (x < 0 || y < 0 || x >= clientWidth || y >= clientHeight) return std::nullopt;
    const int col = x / ColPitch;
    const int row = y / RowPitch;
    if (col >= ColCount || row >= RowCount) return std::nullopt;
    return QPoint(col, row);
}

void TDrawGrid::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect client = rect().adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);

    DrawEdgeRing(p, rect(), EdgeShadow, EdgeHighlight);
    DrawEdgeRing(p, rect().adjusted(1, 1, -1, -1), EdgeDarkShadow, EdgeLight);
    if (client.isEmpty()) return;
    p.setClipRect(client);

    // Filling the whole lattice silver leaves the lines once the cells cover the rest.
    const QRect lattice(client.topLeft(), QSize(ColCount * ColPitch, RowCount * RowPitch));
    p.fillRect(lattice & client, GridLineColor);

    const QRect selection = Selection();
    const bool focused = hasFocus();
    const QColor highlight = palette().color(QPalette::Highlight);
    for (int row = 0; row < RowCount; ++row) {
        for (int col = 0; col < ColCount; ++col) {
            const QRect cell = CellRect(col, row);
            if (!event->rect().intersects(cell)) continue;
            const bool current = col == col_ && row == row_;
            const bool selected = selection.contains(col, row);
            p.fillRect(cell, selected && !current ? highlight : QColor(Qt::white));
            if (OnDrawCell) {
                p.save();
                CanvasScope scope(canvas_, &p);
                OnDrawCell(col, row, cell, TGridDrawState{selected, current && focused});
                p.restore();
            }
        }
    }

    if (focused && isActiveWindow()) DrawFocusMark(p, CellRect(col_, row_));

    const QRegion beyond = QRegion(client).subtracted(QRegion(lattice));
    for (const QRect& r : beyond) p.fillRect(r, Color);
}

void TDrawGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    const std::optional<QPoint> cell = CellAt(event->position().toPoint());
    pressInCell_ = cell.has_value();
    if (!cell) return;
    setFocus(Qt::MouseFocusReason);
    if (event->modifiers() & Qt::ShiftModifier) {
        anchor_ = *cell;
    } else {
        col_ = cell->x();
        row_ = cell->y();
        anchor_ = *cell;
    }
    dragging_ = true;
    update();
}

void TDrawGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    event->accept();
    // Past the edge of the grid the selection keeps to the nearest cell.
    const QPoint pos = event->position().toPoint();
    const QPoint end(std::clamp((pos.x() - BorderWidth) / ColPitch, 0, ColCount - 1),
                     std::clamp((pos.y() - BorderWidth) / RowPitch, 0, RowCount - 1));
    if (end != anchor_) {
        anchor_ = end;
        update();
    }
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    dragging_ = false;
}

void TDrawGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The base class would treat this as another press and move the current cell.
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    // The border is not part of the grid: a double-click whose first or second
    // press lands on it is no double-click on a cell.
    if (!pressInCell_ || !CellAt(event->position().toPoint())) return;
    if (OnDblClick) OnDblClick();
}

void TDrawGrid::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    int col = col_;
    int row = row_;
    switch (event->key()) {
        case Qt::Key_Left:
            --col;
            break;
        case Qt::Key_Right:
            ++col;
            break;
        case Qt::Key_Up:
            --row;
            break;
        case Qt::Key_Down:
            ++row;
            break;
        case Qt::Key_Home:
            col = 0;
            if (ctrl) row = 0;
            break;
        case Qt::Key_End:
            col = ColCount - 1;
            if (ctrl) row = RowCount - 1;
            break;
        case Qt::Key_PageUp:
            row = 0;
            break;
        case Qt::Key_PageDown:
            row = RowCount - 1;
            break;
        default:
            event->ignore();
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
    col_ = std::clamp(col, 0, ColCount - 1);
    row_ = std::clamp(row, 0, RowCount - 1);
    if (!(mods & Qt::ShiftModifier)) anchor_ = QPoint(col_, row_);
    update();
}

void TDrawGrid::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    event->accept();
    // A fine-grained wheel sends fractions of a notch; accumulate them to whole rows.
    wheelDelta_ += delta;
    const int steps = wheelDelta_ / WheelStep;
    if (steps == 0) return;
    wheelDelta_ -= steps * WheelStep;
    SetCurrent(col_, row_ - steps);
}

void TDrawGrid::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TDrawGrid::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    dragging_ = false;
    update();
}

void TDrawGrid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) update();
}
