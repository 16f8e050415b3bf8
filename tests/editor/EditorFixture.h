#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/Unit1.h"

// A file dialog that answers from a script and records the name preset at
// each run. An empty answer is a cancel.
class ScriptedDialog : public TFileDialog {
  public:
    bool Execute() override;
    std::deque<std::optional<QString>> answers;
    std::vector<QString> presets;
};

// A shown editor with scripted dialogs; errors are recorded instead of shown.
class EditorFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString PathOf(const QString& name) const { return dir.filePath(name); }
    void WriteFile(const QString& path, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& path) const;

    void Click(QWidget* button);
    void TypeWidth(const QString& text);
    void PressKeyInWidth(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Open(const QString& path);
    void SaveTo(const QString& path);
    void DoubleClickCell(int col, int row);

    const glyph::CellGrid& Cells() const { return *editor->Cells(); }

    // Everything the user sees of the window's state, for before/after comparisons.
    struct Snapshot {
        QString caption;
        QString widthText;
        bool saveAsEnabled;
        glyph::CellGrid cells;
        QString openedFile;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Snap() const;

    QTemporaryDir dir;
    ScriptedDialog* openDialog = nullptr;
    ScriptedDialog* saveDialog = nullptr;
    std::unique_ptr<TFontEditor> editor;
    std::vector<std::string> errors;
};

std::string MessageOf(std::exception_ptr error);
QByteArray Bytes(std::initializer_list<int> values);
