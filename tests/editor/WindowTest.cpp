#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "EditorFixture.h"
#include "editor/SystemColors.h"

namespace {

using WindowTest = EditorFixture;

TEST_F(WindowTest, ControlsSitWhereTheLayoutPutsThem) {
    EXPECT_EQ(editor->size(), QSize(492, 194));
    struct Placed {
        QWidget* widget;
        QRect bounds;
        QString caption;
    };
    const Placed placed[] = {
        {editor->DrawGrid, {6, 8, 403, 178}, ""},
        {editor->WidthEdit, {455, 8, 26, 21}, "8"},
        {editor->NewBtn, {414, 43, 75, 25}, "New"},
        {editor->OpenBtn, {414, 74, 75, 25}, "Open"},
        {editor->SaveAsBtn, {414, 105, 75, 25}, "Save As..."},
        {editor->SaveBtn, {414, 136, 75, 25}, "Save"},
        {editor->CloseBtn, {414, 167, 75, 25}, "Close"},
    };
    for (const auto& p : placed) {
        EXPECT_EQ(p.widget->geometry(), p.bounds) << p.caption.toStdString();
        if (auto* button = qobject_cast<QPushButton*>(p.widget)) {
            EXPECT_EQ(button->text(), p.caption);
        }
    }
    EXPECT_EQ(editor->Label1->text(), "Width:");
    EXPECT_EQ(editor->Label1->pos(), QPoint(417, 8));
    EXPECT_EQ(editor->WidthEdit->maxLength(), 2);
    EXPECT_EQ(editor->font().pixelSize(), 11);
    EXPECT_EQ(editor->font().family(), "Tahoma");
    EXPECT_FALSE(editor->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(editor->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(editor->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(editor->OpenDialog->Filter, "quelt font file(*.dat)|*.dat");
    EXPECT_EQ(editor->SaveDialog->Filter, "quelt font file(*.dat)|*.dat");
}

TEST_F(WindowTest, WidthFieldTakesAtMostTwoCharacters) {
    TypeWidth("123");
    EXPECT_EQ(editor->WidthEdit->text(), "12");
}

TEST_F(WindowTest, TabVisitsTheControlsInTabOrder) {
    editor->DrawGrid->setFocus();
    std::vector<QWidget*> visited;
    for (int i = 0; i < 7; ++i) {
        visited.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const std::vector<QWidget*> disabledSaveAs = {
        editor->DrawGrid, editor->WidthEdit, editor->OpenBtn, editor->SaveBtn,
        editor->CloseBtn, editor->NewBtn,    editor->DrawGrid};
    EXPECT_EQ(visited, disabledSaveAs);

    editor->SaveAsBtn->setEnabled(true);
    editor->NewBtn->setFocus();
    QTest::keyClick(editor->NewBtn, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), editor->SaveAsBtn);
    QTest::keyClick(editor->SaveAsBtn, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), editor->NewBtn);
}

TEST_F(WindowTest, GridPaintsTheStoredColours) {
    DoubleClickCell(2, 3);
    const QImage image = editor->DrawGrid->grab().toImage();
    const QPalette palette = editor->DrawGrid->palette();
    const QColor base = palette.color(QPalette::Base);
    const QColor button = palette.color(QPalette::Button);
    ASSERT_NE(base, button);
    for (int col = 0; col < 16; ++col)
        for (int row = 0; row < 7; ++row) {
            const QColor expected = col == 2 && row == 3 ? QColor(Qt::red)
                                    : col < 8            ? base
                                                         : button;
            EXPECT_EQ(image.pixelColor(editor->DrawGrid->CellRect(col, row).center()), expected)
                << col << "," << row;
        }
    const QRect cell = editor->DrawGrid->CellRect(4, 4);
    EXPECT_EQ(image.pixelColor(cell.right() + 1, cell.center().y()), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(image.pixelColor(cell.center().x(), cell.bottom() + 1), QColor(0xC0, 0xC0, 0xC0));
    // The selection colour never shows through a filled cell.
    EXPECT_EQ(image.pixelColor(editor->DrawGrid->CellRect(2, 3).topLeft() + QPoint(3, 3)),
              QColor(Qt::red));
}

TEST_F(WindowTest, ColoursResolveSystemIndicesAndRgb) {
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    EXPECT_EQ(ResolveColor(glyph::clWindow, palette), QColor(1, 2, 3));
    EXPECT_EQ(ResolveColor(glyph::clBtnFace, palette), QColor(4, 5, 6));
    EXPECT_EQ(ResolveColor(glyph::clRed, palette), QColor(255, 0, 0));
    EXPECT_EQ(ResolveColor(0x00C0B0A0, palette), QColor(0xA0, 0xB0, 0xC0));
}

TEST_F(WindowTest, ResizingMovesOnlyTheGridKeepingItsCentreInProportion) {
    editor->resize(984, 388);
    QApplication::processEvents();
    EXPECT_EQ(editor->DrawGrid->size(), QSize(403, 178));
    EXPECT_EQ(editor->DrawGrid->pos(), QPoint(214, 105));
    EXPECT_EQ(editor->OpenBtn->pos(), QPoint(414, 74));
    EXPECT_EQ(editor->WidthEdit->pos(), QPoint(455, 8));
    editor->resize(492, 194);
    QApplication::processEvents();
    EXPECT_EQ(editor->DrawGrid->pos(), QPoint(6, 8));
}

}  // namespace
