#pragma once

#include <QString>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>

#include "editor/DrawGrid.h"
#include "editor/FileDialog.h"
#include "glyph/CellGrid.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The editor's one window: the glyph grid, the Width field and the command
// buttons. Each control event reaches its handler through RunHandler, which
// passes whatever the handler throws to the error handler given at creation.
class TFontEditor : public QWidget {
  public:
    using ErrorHandler = std::function<void(std::exception_ptr)>;

    static constexpr int ClientWidth = 492;
    static constexpr int ClientHeight = 194;
    static constexpr int VK_RETURN = 13;

    // Dialogs default to the real file dialogs when null.
    explicit TFontEditor(ErrorHandler onError, std::unique_ptr<TFileDialog> openDialog = nullptr,
                         std::unique_ptr<TFileDialog> saveDialog = nullptr);
    ~TFontEditor() override;

    QLabel* Label1;
    TDrawGrid* DrawGrid;
    QLineEdit* WidthEdit;
    QPushButton* OpenBtn;
    QPushButton* SaveBtn;
    QPushButton* CloseBtn;
    QPushButton* NewBtn;
    QPushButton* SaveAsBtn;
    std::unique_ptr<TFileDialog> OpenDialog;
    std::unique_ptr<TFileDialog> SaveDialog;

    void FormCreate(QObject* Sender);
    void FormDestroy(QObject* Sender);
    void NewBtnClick(QObject* Sender);
    void OpenBtnClick(QObject* Sender);
    void SaveBtnClick(QObject* Sender);
    void SaveAsBtnClick(QObject* Sender);
    void CloseBtnClick(QObject* Sender);
    void WidthEditKeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
    void DrawGridDblClick(QObject* Sender);
    void DrawGridDrawCell(QObject* Sender, int ACol, int ARow, const QRect& Rect,
                          TGridDrawState State);

    // The one entry from an event into a handler: nothing thrown gets past it.
    void RunHandler(const std::function<void()>& handler) noexcept;

    // The cells as they stand; empty before FormCreate and after FormDestroy.
    const glyph::CellGrid* Cells() const { return CellColors.get(); }
    // The file that "Save As..." writes: the one last opened successfully.
    const QString& OpenedFile() const { return openedFile_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int WidthFromText() const;
    void SetCaption(const QString& caption);
    void ReportError(std::exception_ptr error) noexcept;
    void ConnectEvents();

    std::unique_ptr<glyph::CellGrid> CellColors;
    ErrorHandler onError_;
    QString openedFile_;
};

// The application's main window.
extern TFontEditor* FontEditor;
