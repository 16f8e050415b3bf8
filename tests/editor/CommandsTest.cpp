#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "EditorFixture.h"
#include "glyph/Errors.h"

namespace {

using glyph::CellGrid;

CellGrid GridOfWidth(int width) {
    CellGrid grid;
    grid.Initialise(width);
    return grid;
}

using CommandsTest = EditorFixture;

TEST_F(CommandsTest, StartsWithAnEmptyWidthEightGlyph) {
    EXPECT_EQ(editor->windowTitle(), "QUELT font editor");
    EXPECT_EQ(editor->WidthEdit->text(), "8");
    EXPECT_FALSE(editor->SaveAsBtn->isEnabled());
    EXPECT_EQ(Cells(), GridOfWidth(8));
    EXPECT_EQ(editor->DrawGrid->Col(), 0);
    EXPECT_EQ(editor->DrawGrid->Row(), 0);
}

TEST_F(CommandsTest, DoubleClickTogglesTheCellUnderThePointer) {
    DoubleClickCell(3, 4);
    EXPECT_EQ(editor->DrawGrid->Col(), 3);
    EXPECT_EQ(editor->DrawGrid->Row(), 4);
    EXPECT_EQ(Cells().Get(3, 4), glyph::clRed);
    DoubleClickCell(3, 4);
    EXPECT_EQ(Cells().Get(3, 4), glyph::clWindow);
    DoubleClickCell(12, 0);  // outside the width
    EXPECT_EQ(Cells(), GridOfWidth(8));
    EXPECT_TRUE(errors.empty());
}

TEST_F(CommandsTest, EnterAppliesTheWidthText) {
    struct Case {
        const char* typed;
        int appliedWidth;
        const char* textAfter;
    };
    const Case cases[] = {
        {"12", 12, "12"}, {"20", 16, "16"}, {"99", 16, "16"}, {"07", 7, "07"},
        {"0", 0, "0"},    {"$A", 10, "$A"}, {" 7", 7, " 7"},  {"16", 16, "16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Click(editor->NewBtn);
        DoubleClickCell(1, 1);
        TypeWidth(c.typed);
        PressKeyInWidth(Qt::Key_Return);
        EXPECT_EQ(editor->WidthEdit->text(), c.textAfter);
        CellGrid expected = GridOfWidth(8);
        expected.Toggle(1, 1);
        expected.ApplyWidth(c.appliedWidth);
        EXPECT_EQ(Cells(), expected);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(CommandsTest, NumpadAndModifiedEnterApplyToo) {
    TypeWidth("12");
    PressKeyInWidth(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Cells(), GridOfWidth(12));
    TypeWidth("3");
    PressKeyInWidth(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Cells(), GridOfWidth(3));
}

TEST_F(CommandsTest, OtherKeysApplyNothing) {
    TypeWidth("4");
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Space, Qt::Key_Left, Qt::Key_M, Qt::Key_F5})
        PressKeyInWidth(key);
    EXPECT_EQ(Cells(), GridOfWidth(8));
    EXPECT_TRUE(errors.empty());
}

TEST_F(CommandsTest, BadWidthTextIsRefusedAndChangesNothing) {
    struct Case {
        const char* typed;
        std::string message;
    };
    const Case cases[] = {
        {"ab", "''ab'' は整数ではありません"},     {"", "'''' は整数ではありません"},
        {"7a", "''7a'' は整数ではありません"},     {"-", "''-'' は整数ではありません"},
        {"-1", "幅 -1 は 0 から 16 の範囲外です"}, {"-9", "幅 -9 は 0 から 16 の範囲外です"},
    };
    DoubleClickCell(0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        errors.clear();
        TypeWidth(c.typed);
        const Snapshot before = Snap();
        PressKeyInWidth(Qt::Key_Return);
        EXPECT_EQ(errors, std::vector<std::string>{c.message});
        EXPECT_EQ(Snap(), before);
    }
}

TEST_F(CommandsTest, NewClearsTheGlyphAndForgetsTheFiles) {
    const QString path = PathOf("a.dat");
    WriteFile(path, Bytes({12, 0, 7, 0, 0xFF, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    Open(path);
    ASSERT_TRUE(editor->SaveAsBtn->isEnabled());
    TypeWidth("ab");  // New resets the text before it converts it

    Click(editor->NewBtn);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(editor->windowTitle(), "QUELT font editor");
    EXPECT_EQ(editor->WidthEdit->text(), "8");
    EXPECT_EQ(openDialog->FileName, "");
    EXPECT_EQ(saveDialog->FileName, "");
    EXPECT_FALSE(editor->SaveAsBtn->isEnabled());
    EXPECT_EQ(Cells(), GridOfWidth(8));
}

TEST_F(CommandsTest, CloseButtonClosesTheWindow) {
    Click(editor->CloseBtn);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(errors.empty());
}

TEST_F(CommandsTest, EveryThrownObjectReachesTheErrorHandler) {
    editor->RunHandler([] { throw glyph::EConvertError("x"); });
    editor->RunHandler([] { throw 42; });
    editor->RunHandler([] {});
    EXPECT_EQ(errors, (std::vector<std::string>{"x", "(not one of our errors)"}));
}

}  // namespace
