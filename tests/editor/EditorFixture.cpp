#include "EditorFixture.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "glyph/Errors.h"

bool ScriptedDialog::Execute() {
    presets.push_back(FileName);
    if (answers.empty()) {
        ADD_FAILURE() << "dialog run without a scripted answer";
        return false;
    }
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    FileName = *answer;
    return true;
}

std::string MessageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const glyph::Exception& e) {
        return e.Message();
    } catch (...) {
        return "(not one of our errors)";
    }
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int value : values) bytes.append(static_cast<char>(value));
    return bytes;
}

void EditorFixture::SetUp() {
    ASSERT_TRUE(dir.isValid());
    auto open = std::make_unique<ScriptedDialog>();
    auto save = std::make_unique<ScriptedDialog>();
    openDialog = open.get();
    saveDialog = save.get();
    editor = std::make_unique<TFontEditor>(
        [this](std::exception_ptr error) { errors.push_back(MessageOf(error)); }, std::move(open),
        std::move(save));
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
}

void EditorFixture::TearDown() {
    EXPECT_TRUE(openDialog->answers.empty()) << "unused open dialog answers";
    EXPECT_TRUE(saveDialog->answers.empty()) << "unused save dialog answers";
    editor.reset();
}

void EditorFixture::WriteFile(const QString& path, const QByteArray& bytes) const {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray EditorFixture::ReadFile(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(missing)";
    return file.readAll();
}

void EditorFixture::Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void EditorFixture::TypeWidth(const QString& text) {
    editor->WidthEdit->setFocus();
    editor->WidthEdit->selectAll();
    QTest::keyClick(editor->WidthEdit, Qt::Key_Backspace);
    QTest::keyClicks(editor->WidthEdit, text);
}

void EditorFixture::PressKeyInWidth(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(editor->WidthEdit, key, modifiers);
}

void EditorFixture::Open(const QString& path) {
    openDialog->answers.push_back(path);
    Click(editor->OpenBtn);
}

void EditorFixture::SaveTo(const QString& path) {
    saveDialog->answers.push_back(path);
    Click(editor->SaveBtn);
}

void EditorFixture::DoubleClickCell(int col, int row) {
    const QPoint centre = editor->DrawGrid->CellRect(col, row).center();
    // The sequence a real double-click delivers to a widget.
    QTest::mousePress(editor->DrawGrid, Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(editor->DrawGrid, Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(editor->DrawGrid, Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(editor->DrawGrid, Qt::LeftButton, Qt::NoModifier, centre);
}

EditorFixture::Snapshot EditorFixture::Snap() const {
    return {editor->windowTitle(), editor->WidthEdit->text(), editor->SaveAsBtn->isEnabled(),
            *editor->Cells(), editor->OpenedFile()};
}
