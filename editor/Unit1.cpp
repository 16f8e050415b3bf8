#include "editor/Unit1.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "editor/GlyphFileAccess.h"
#include "editor/SystemColors.h"
#include "glyph/GlyphFile.h"
#include "glyph/StrToInt.h"

TFontEditor* FontEditor = nullptr;

namespace {

const QString Caption = QStringLiteral("QUELT font editor");
const QString GlyphFilter = QStringLiteral("quelt font file(*.dat)|*.dat");
const QString InitialWidthText = QStringLiteral("8");
const QRect GridBounds(6, 8, 403, 178);

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QRect& bounds) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(bounds);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TFontEditor::TFontEditor(ErrorHandler onError, std::unique_ptr<TFileDialog> openDialog,
                         std::unique_ptr<TFileDialog> saveDialog)
    : OpenDialog(openDialog ? std::move(openDialog)
                            : std::make_unique<TQtFileDialog>(this, TQtFileDialog::Mode::Open)),
      SaveDialog(saveDialog ? std::move(saveDialog)
                            : std::make_unique<TQtFileDialog>(this, TQtFileDialog::Mode::Save)),
      onError_(std::move(onError)) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    SetCaption(Caption);
    resize(ClientWidth, ClientHeight);
    QPalette background = palette();
    background.setColor(QPalette::Window, ResolveColor(glyph::clBtnFace, palette()));
    setPalette(background);
    setAutoFillBackground(true);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    // Created in layout order, which is also the tab order.
    Label1 = new QLabel(QStringLiteral("Width:"), this);
    Label1->setGeometry(417, 8, 32, 13);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (Label1->sizeHint().width() > Label1->width())
        Label1->resize(Label1->sizeHint().width(), 13);
    DrawGrid = new TDrawGrid(this);
    DrawGrid->setGeometry(GridBounds);
    WidthEdit = new QLineEdit(InitialWidthText, this);
    WidthEdit->setGeometry(455, 8, 26, 21);
    WidthEdit->setMaxLength(2);
    OpenBtn = MakeButton(this, QStringLiteral("Open"), {414, 74, 75, 25});
    SaveBtn = MakeButton(this, QStringLiteral("Save"), {414, 136, 75, 25});
    CloseBtn = MakeButton(this, QStringLiteral("Close"), {414, 167, 75, 25});
    NewBtn = MakeButton(this, QStringLiteral("New"), {414, 43, 75, 25});
    SaveAsBtn = MakeButton(this, QStringLiteral("Save As..."), {414, 105, 75, 25});
    SaveAsBtn->setEnabled(false);
    QWidget::setTabOrder(DrawGrid, WidthEdit);
    QWidget::setTabOrder(WidthEdit, OpenBtn);
    QWidget::setTabOrder(OpenBtn, SaveBtn);
    QWidget::setTabOrder(SaveBtn, CloseBtn);
    QWidget::setTabOrder(CloseBtn, NewBtn);
    QWidget::setTabOrder(NewBtn, SaveAsBtn);
    DrawGrid->setFocus();

    OpenDialog->Filter = GlyphFilter;
    SaveDialog->Filter = GlyphFilter;
    ConnectEvents();
    FormCreate(this);
}

TFontEditor::~TFontEditor() {
    RunHandler([this] { FormDestroy(this); });
    if (FontEditor == this) FontEditor = nullptr;
}

void TFontEditor::ConnectEvents() {
    const auto click = [this](QPushButton* button, void (TFontEditor::*handler)(QObject*)) {
        connect(button, &QPushButton::clicked, this,
                [this, button, handler] { RunHandler([&] { (this->*handler)(button); }); });
    };
    click(NewBtn, &TFontEditor::NewBtnClick);
    click(OpenBtn, &TFontEditor::OpenBtnClick);
    click(SaveBtn, &TFontEditor::SaveBtnClick);
    click(SaveAsBtn, &TFontEditor::SaveAsBtnClick);
    click(CloseBtn, &TFontEditor::CloseBtnClick);
    DrawGrid->OnDblClick = [this] { RunHandler([this] { DrawGridDblClick(DrawGrid); }); };
    DrawGrid->OnDrawCell = [this](int col, int row, const QRect& rect, TGridDrawState state) {
        // Painting must not open a modal box; an error is shown once the paint is over.
        try {
            DrawGridDrawCell(DrawGrid, col, row, rect, state);
        } catch (...) {
            QMetaObject::invokeMethod(
                this, [this, error = std::current_exception()] { ReportError(error); },
                Qt::QueuedConnection);
        }
    };
    WidthEdit->installEventFilter(this);
}

bool TFontEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == WidthEdit && event->type() == QEvent::KeyPress) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const bool enter = keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter;
        int key = enter ? VK_RETURN : keyEvent->key();
        RunHandler([&] { WidthEditKeyDown(WidthEdit, key, keyEvent->modifiers()); });
    }
    return QWidget::eventFilter(watched, event);  // the key still reaches the field
}

void TFontEditor::resizeEvent(QResizeEvent* event) {
    // The grid keeps its size, and its centre keeps its relative place in the client area.
    const double centreX = (GridBounds.left() + GridBounds.width() / 2.0) * width() / ClientWidth;
    const double centreY = (GridBounds.top() + GridBounds.height() / 2.0) * height() / ClientHeight;
    DrawGrid->move(static_cast<int>(std::lround(centreX - GridBounds.width() / 2.0)),
                   static_cast<int>(std::lround(centreY - GridBounds.height() / 2.0)));
    QWidget::resizeEvent(event);
}

void TFontEditor::RunHandler(const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ReportError(std::current_exception());
    }
}

void TFontEditor::ReportError(std::exception_ptr error) noexcept {
    try {
        if (onError_) onError_(error);
    } catch (...) {
        // The error display itself failed; there is nobody left to tell.
    }
}

void TFontEditor::SetCaption(const QString& caption) {
    // Qt reads "[*]" as the place of its modified mark; doubled, it shows as typed.
    setWindowTitle(QString(caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

int TFontEditor::WidthFromText() const {
    return glyph::StrToInt(WidthEdit->text().toStdString());
}

void TFontEditor::FormCreate(QObject*) {
    CellColors = std::make_unique<glyph::CellGrid>();
    CellColors->Initialise(WidthFromText());
}

void TFontEditor::FormDestroy(QObject*) {
    CellColors.reset();
}

void TFontEditor::NewBtnClick(QObject*) {
    SetCaption(Caption);
    WidthEdit->setText(InitialWidthText);
    SaveDialog->FileName.clear();
    OpenDialog->FileName.clear();
    openedFile_.clear();
    CellColors->Reset(WidthFromText());
    SaveAsBtn->setEnabled(false);
    DrawGrid->update();
}

void TFontEditor::OpenBtnClick(QObject*) {
    if (!OpenDialog->Execute()) return;
    const QString path = OpenDialog->FileName;
    // Reads and checks the whole file first: a failure leaves the window as it was.
    const int width = LoadGlyphFile(path, *CellColors);
    WidthEdit->setText(QString::number(width));
    SetCaption(Caption + u'[' + QFileInfo(path).fileName() + u']');
    openedFile_ = path;
    SaveAsBtn->setEnabled(true);
    DrawGrid->update();
}

void TFontEditor::SaveBtnClick(QObject*) {
    SaveDialog->FileName = OpenDialog->FileName;
    if (!SaveDialog->Execute()) return;
    const auto bytes = glyph::EncodeGlyph(*CellColors, WidthFromText());
    SaveGlyphFile(SaveDialog->FileName, bytes);
}

void TFontEditor::SaveAsBtnClick(QObject*) {
    const QString target = openedFile_;
    const auto bytes = glyph::EncodeGlyph(*CellColors, WidthFromText());
    SaveGlyphFile(target, bytes);
}

void TFontEditor::CloseBtnClick(QObject*) {
    close();
}

void TFontEditor::WidthEditKeyDown(QObject*, int& Key, Qt::KeyboardModifiers) {
    if (Key != VK_RETURN) return;
    int width = WidthFromText();
    if (width > glyph::MaxWidth) {
        width = glyph::MaxWidth;
        WidthEdit->setText(QString::number(width));
    }
    glyph::CheckWritableWidth(width);
    CellColors->ApplyWidth(width);
    DrawGrid->update();
}

void TFontEditor::DrawGridDblClick(QObject*) {
    CellColors->Toggle(DrawGrid->Col(), DrawGrid->Row());
    DrawGrid->update();
}

void TFontEditor::DrawGridDrawCell(QObject*, int ACol, int ARow, const QRect& Rect,
                                   TGridDrawState) {
    QPainter* canvas = DrawGrid->Canvas();
    if (!CellColors || !canvas) return;
    canvas->fillRect(Rect, ResolveColor(CellColors->Get(ACol, ARow), DrawGrid->palette()));
}
