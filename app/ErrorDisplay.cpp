#include "app/ErrorDisplay.h"

#include <QApplication>
#include <QMessageBox>

#include "glyph/Errors.h"

namespace {

std::exception_ptr NestedIn(const std::exception& error) {
    const auto* nested = dynamic_cast<const std::nested_exception*>(&error);
    return nested ? nested->nested_ptr() : nullptr;
}

}  // namespace

QString ErrorText(std::exception_ptr error) {
    std::string message;
    while (error) {
        std::exception_ptr inner;
        try {
            std::rethrow_exception(error);
        } catch (const glyph::Exception& e) {
            if (!e.Message().empty()) message = e.Message();
            inner = NestedIn(e);
        } catch (const std::exception& e) {
            inner = NestedIn(e);
        } catch (...) {
        }
        error = inner;
    }
    QString text = QString::fromStdString(message);
    if (!text.isEmpty() && text.back().unicode() > u'.') text += u'.';
    return text;
}

void ShowError(std::exception_ptr error, const QString& title) {
    QMessageBox box(QMessageBox::Critical, title, ErrorText(error), QMessageBox::Ok,
                    QApplication::activeWindow());
    // A path may hold anything, "<b>" too: the text is never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
