#include "editor/DrawGrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <map>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

QPoint Client(int x, int y) {
    return QPoint(2 + x, 2 + y);
}
QPoint Centre(int col, int row) {
    return Client(col * 25 + 12, row * 25 + 12);
}
QRect Range(int l, int t, int r, int b) {
    return QRect(QPoint(l, t), QPoint(r, b));
}
QRgb Rgb(const QImage& img, QPoint p) {
    return img.pixel(p) & 0xFFFFFF;
}

// The grid between two line edits in a shown, active window, with the focus on the grid.
class DrawGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto* layout = new QHBoxLayout(&host);
        layout->addWidget(before);
        layout->addWidget(grid);
        layout->addWidget(after);
        grid->setFixedSize(403, 178);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        grid->setFocus();
        ASSERT_TRUE(grid->hasFocus());
    }
    void Key(int key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(grid, Qt::Key(key), mods);
    }
    void Wheel(int angle) {
        QWheelEvent ev(Centre(0, 0), grid->mapToGlobal(Centre(0, 0)), {}, {0, angle}, {}, {},
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid, &ev);
    }
    void Expect(QPoint current, QRect selection) {
        EXPECT_EQ(QPoint(grid->Col(), grid->Row()), current);
        EXPECT_EQ(grid->Selection(), selection);
    }

    QWidget host;
    QLineEdit* before = new QLineEdit;
    TDrawGrid* grid = new TDrawGrid;
    QLineEdit* after = new QLineEdit;
};

TEST(DrawGridGeometry, CellAtAndCellRect) {
    TDrawGrid grid;
    grid.resize(403, 178);
    const std::vector<std::pair<QPoint, std::optional<QPoint>>> cases = {
        {{0, 0}, {}},
        {{1, 50}, {}},
        {{-5, 10}, {}},
        {{401, 100}, {}},
        {{200, 176}, {}},
        {Client(0, 0), QPoint(0, 0)},
        {Client(24, 0), QPoint(0, 0)},
        {Client(24, 24), QPoint(0, 0)},
        {Client(25, 0), QPoint(1, 0)},
        {Client(49, 74), QPoint(1, 2)},
        {Client(398, 173), QPoint(15, 6)},
    };
    for (const auto& [pos, cell] : cases)
        EXPECT_EQ(grid.CellAt(pos), cell) << pos.x() << "," << pos.y();

    grid.resize(450, 200);  // brings the last grid lines inside the client
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 16; ++col) {
            const QRect rect = grid.CellRect(col, row);
            EXPECT_EQ(rect, QRect(Client(col * 25, row * 25), QSize(24, 24)));
            EXPECT_EQ(grid.CellAt(rect.topLeft()), QPoint(col, row));
            EXPECT_EQ(grid.CellAt(rect.bottomRight() + QPoint(1, 1)), QPoint(col, row));
        }
    EXPECT_EQ(grid.CellAt(Client(400, 10)), std::nullopt);
    EXPECT_TRUE(grid.CellRect(16, 0).isEmpty());
}

TEST_F(DrawGridTest, MousePressesAndDrags) {
    const std::vector<std::tuple<QPoint, Qt::MouseButton, Qt::KeyboardModifiers, QPoint, QRect>>
        presses = {
            {Centre(5, 3), Qt::LeftButton, {}, {5, 3}, Range(5, 3, 5, 3)},
            {Client(99, 24), Qt::LeftButton, {}, {3, 0}, Range(3, 0, 3, 0)},
            {{1, 1}, Qt::LeftButton, {}, {2, 2}, Range(2, 2, 2, 2)},
            {{402, 100}, Qt::LeftButton, {}, {2, 2}, Range(2, 2, 2, 2)},
            {Centre(5, 3), Qt::RightButton, {}, {2, 2}, Range(2, 2, 2, 2)},
            {Centre(5, 3), Qt::LeftButton, Qt::ShiftModifier, {2, 2}, Range(2, 2, 5, 3)},
            {Centre(0, 0), Qt::LeftButton, Qt::ShiftModifier, {2, 2}, Range(0, 0, 2, 2)},
        };
    for (const auto& [pos, button, mods, current, selection] : presses) {
        SCOPED_TRACE(testing::Message() << pos.x() << "," << pos.y() << " button " << button);
        grid->SetCurrent(2, 2);
        QTest::mouseClick(grid, button, mods, pos);
        Expect(current, selection);
    }

    after->setFocus();
    QTest::mousePress(grid, Qt::LeftButton, {}, Centre(1, 1));
    EXPECT_TRUE(grid->hasFocus());
    QTest::mouseMove(grid, Centre(4, 5));
    Expect({1, 1}, Range(1, 1, 4, 5));
    QTest::mouseMove(grid, {600, 400});
    Expect({1, 1}, Range(1, 1, 15, 6));
    QTest::mouseRelease(grid, Qt::LeftButton, {}, {600, 400});
    QTest::mouseMove(grid, Centre(0, 0));
    Expect({1, 1}, Range(1, 1, 15, 6));
}

TEST_F(DrawGridTest, DoubleClickKeepsTheCellOfTheFirstPress) {
    int calls = 0;
    grid->OnDblClick = [&] { ++calls; };
    // The widget overload of mouseDClick delivers only the MouseButtonDblClick event.
    QTest::mouseClick(grid, Qt::LeftButton, {}, Centre(3, 2));
    QTest::mouseDClick(grid, Qt::LeftButton, {}, Centre(7, 4));
    QTest::mouseRelease(grid, Qt::LeftButton, {}, Centre(7, 4));
    QTest::mouseDClick(grid, Qt::RightButton, {}, Centre(7, 4));
    QTest::mouseRelease(grid, Qt::RightButton, {}, Centre(7, 4));
    EXPECT_EQ(calls, 1);
    Expect({3, 2}, Range(3, 2, 3, 2));

    // Through the window Qt turns press, release, press, release into a double-click.
    QTest::mouseDClick(host.windowHandle(), Qt::LeftButton, {}, grid->mapTo(&host, Centre(9, 5)));
    EXPECT_EQ(calls, 2);
    Expect({9, 5}, Range(9, 5, 9, 5));

    // On the border, or begun there, it is no double-click on a cell.
    for (const QPoint border : {QPoint(1, 1), QPoint(0, 100), QPoint(401, 50), QPoint(200, 177)}) {
        SCOPED_TRACE(testing::Message() << border.x() << "," << border.y());
        QTest::mouseDClick(host.windowHandle(), Qt::LeftButton, {}, grid->mapTo(&host, border));
        QTest::mouseClick(grid, Qt::LeftButton, {}, border);
        QTest::mouseDClick(grid, Qt::LeftButton, {}, Centre(4, 4));
        QTest::mouseRelease(grid, Qt::LeftButton, {}, Centre(4, 4));
    }
    EXPECT_EQ(calls, 2);
    Expect({9, 5}, Range(9, 5, 9, 5));
}

TEST_F(DrawGridTest, Keys) {
    const auto shift = Qt::ShiftModifier;
    const std::vector<std::tuple<QPoint, int, Qt::KeyboardModifiers, QPoint, QRect>> cases = {
        {{5, 3}, Qt::Key_Left, {}, {4, 3}, Range(4, 3, 4, 3)},
        {{5, 3}, Qt::Key_Right, {}, {6, 3}, Range(6, 3, 6, 3)},
        {{5, 3}, Qt::Key_Up, {}, {5, 2}, Range(5, 2, 5, 2)},
        {{5, 3}, Qt::Key_Down, {}, {5, 4}, Range(5, 4, 5, 4)},
        {{0, 0}, Qt::Key_Left, {}, {0, 0}, Range(0, 0, 0, 0)},
        {{0, 0}, Qt::Key_Up, {}, {0, 0}, Range(0, 0, 0, 0)},
        {{15, 6}, Qt::Key_Right, {}, {15, 6}, Range(15, 6, 15, 6)},
        {{15, 6}, Qt::Key_Down, {}, {15, 6}, Range(15, 6, 15, 6)},
        {{5, 3}, Qt::Key_Home, {}, {0, 3}, Range(0, 3, 0, 3)},
        {{5, 3}, Qt::Key_End, {}, {15, 3}, Range(15, 3, 15, 3)},
        {{5, 3}, Qt::Key_PageUp, {}, {5, 0}, Range(5, 0, 5, 0)},
        {{5, 3}, Qt::Key_PageDown, {}, {5, 6}, Range(5, 6, 5, 6)},
        {{5, 3}, Qt::Key_Home, Qt::ControlModifier, {0, 0}, Range(0, 0, 0, 0)},
        {{5, 3}, Qt::Key_End, Qt::ControlModifier, {15, 6}, Range(15, 6, 15, 6)},
        {{5, 3}, Qt::Key_Right, shift, {6, 3}, Range(5, 3, 6, 3)},
        {{5, 3}, Qt::Key_Up, shift, {5, 2}, Range(5, 2, 5, 3)},
        {{5, 3}, Qt::Key_End, shift | Qt::ControlModifier, {15, 6}, Range(5, 3, 15, 6)},
        {{5, 3}, Qt::Key_A, {}, {5, 3}, Range(5, 3, 5, 3)},
        {{-3, 9}, Qt::Key_Escape, {}, {0, 6}, Range(0, 6, 0, 6)},
    };
    for (const auto& [start, key, mods, current, selection] : cases) {
        SCOPED_TRACE(testing::Message() << "key " << std::hex << key << " mods " << mods.toInt());
        grid->SetCurrent(start.x(), start.y());
        Key(key, mods);
        Expect(current, selection);
    }
    for (auto [key, taken] : {std::pair{Qt::Key_Down, true}, {Qt::Key_A, false}}) {
        QKeyEvent ev(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(grid, &ev);
        EXPECT_EQ(ev.isAccepted(), taken) << key;
    }
}

TEST_F(DrawGridTest, TabAndBacktabPassThroughTheGrid) {
    Key(Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(grid->hasFocus());
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(before->hasFocus());
}

TEST_F(DrawGridTest, WheelMovesRowsAndCollapses) {
    const std::vector<std::tuple<int, std::vector<int>, int>> cases = {
        {3, {-120}, 4}, {3, {120}, 2},      {6, {-120}, 6},       {0, {120}, 0},
        {1, {-240}, 3}, {3, {-60, -60}, 4}, {3, {40, 40, 40}, 2}, {3, {-120, 120}, 3},
    };
    for (const auto& [startRow, angles, row] : cases) {
        grid->SetCurrent(7, startRow);
        Key(Qt::Key_Left, Qt::ShiftModifier);
        for (int angle : angles) Wheel(angle);
        Expect({6, row}, Range(6, row, 6, row));
    }
}

TEST(DrawGridPaint, LinesBorderAndBackground) {
    TDrawGrid grid;
    grid.resize(403, 178);
    const QImage img = grid.grab().toImage();
    const std::vector<std::pair<QPoint, QRgb>> cases = {
        {Client(24, 5), 0xC0C0C0},  {Client(5, 24), 0xC0C0C0},  {Client(374, 173), 0xC0C0C0},
        {Client(12, 12), 0xFFFFFF}, {Client(25, 25), 0xFFFFFF}, {Client(398, 173), 0xFFFFFF},
        {{0, 0}, 0x808080},         {{200, 177}, 0xFFFFFF},     {{402, 0}, 0xFFFFFF},
        {{1, 1}, 0x000000},         {{1, 100}, 0x000000},       {{401, 100}, 0xC0C0C0},
    };
    for (const auto& [pos, rgb] : cases) EXPECT_EQ(Rgb(img, pos), rgb) << pos.x() << "," << pos.y();

    grid.resize(450, 200);
    grid.Color = QColor(0x123456);
    const QImage big = grid.grab().toImage();
    EXPECT_EQ(Rgb(big, Client(399, 50)), 0xC0C0C0u);
    EXPECT_EQ(Rgb(big, Client(400, 50)), 0x123456u);
    EXPECT_EQ(Rgb(big, Client(50, 195)), 0x123456u);
}

struct PaintProbe : TDrawGrid {
    using TDrawGrid::paintEvent;
};

TEST(DrawGridPaint, OnDrawCellPaintsEachCellOnceThroughTheCanvas) {
    PaintProbe grid;
    grid.resize(403, 178);
    std::map<std::pair<int, int>, QRect> rects;
    int calls = 0;
    grid.OnDrawCell = [&](int col, int row, const QRect& rect, TGridDrawState) {
        ++calls;
        rects[{col, row}] = rect;
        ASSERT_NE(grid.Canvas(), nullptr);
        grid.Canvas()->fillRect(rect, QColor(0, col * 16, row * 32));
        grid.Canvas()->translate(30, 30);  // must not shift the next cell
    };
    const QImage img = grid.grab().toImage();
    EXPECT_EQ(grid.Canvas(), nullptr);
    EXPECT_EQ(calls, 112);
    ASSERT_EQ(rects.size(), 112u);
    for (const auto& [cell, rect] : rects) {
        const auto [col, row] = cell;
        EXPECT_EQ(rect, QRect(Client(col * 25, row * 25), QSize(24, 24)));
        EXPECT_EQ(Rgb(img, Centre(col, row)), qRgb(0, col * 16, row * 32) & 0xFFFFFFu);
    }

    calls = 0;
    grid.OnDrawCell = [&](int, int, const QRect&, TGridDrawState) {
        if (++calls == 3) throw std::runtime_error("cell");
    };
    // Painting outside a paint event only makes Qt warn; keep that out of the output.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QPaintEvent ev(grid.rect());
    EXPECT_THROW(grid.paintEvent(&ev), std::runtime_error);
    qInstallMessageHandler(previous);
    EXPECT_EQ(grid.Canvas(), nullptr);
}

TEST_F(DrawGridTest, SelectionStatesAndFocusMark) {
    grid->SetCurrent(1, 1);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    std::map<std::pair<int, int>, std::pair<bool, bool>> states;
    grid->OnDrawCell = [&](int col, int row, const QRect&, TGridDrawState s) {
        states[{col, row}] = {s.selected, s.focused};
    };
    const QImage img = grid->grab().toImage();
    const QRgb highlight = grid->palette().color(QPalette::Highlight).rgb() & 0xFFFFFF;
    for (const auto& [cell, state] : states) {
        const auto [col, row] = cell;
        const bool inside = col >= 1 && col <= 2 && row >= 1 && row <= 2;
        const bool current = col == 2 && row == 2;
        EXPECT_EQ(state, std::pair(inside, current)) << col << "," << row;
        EXPECT_EQ(Rgb(img, Centre(col, row)), inside && !current ? highlight : 0xFFFFFF);
    }
    ASSERT_EQ(states.size(), 112u);

    // The dotted mark inverts every other pixel of the current cell's top edge.
    const auto topEdgeInverted = [&](int col, int row) {
        const QImage shot = grid->grab().toImage();
        const QRect r = grid->CellRect(col, row);
        int inverted = 0;
        for (int x = r.left(); x <= r.right(); ++x)
            inverted += Rgb(shot, {x, r.top()}) == 0 && Rgb(shot, {x + 1, r.top()}) == 0xFFFFFF;
        return inverted;
    };
    EXPECT_EQ(topEdgeInverted(2, 2), 12);
    EXPECT_EQ(topEdgeInverted(3, 2), 0);
    after->setFocus();
    EXPECT_EQ(topEdgeInverted(2, 2), 0);
    EXPECT_EQ(states.at({2, 2}), std::pair(true, false));
}

}  // namespace
