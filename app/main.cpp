#include <QApplication>
#include <QIcon>

#include "app/ApplicationTitle.h"
#include "app/ErrorDisplay.h"
#include "app/TerminationRequest.h"
#include "editor/Unit1.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QString title = ApplicationTitle(QCoreApplication::applicationFilePath());
    const auto showError = [title](std::exception_ptr error) { ShowError(error, title); };
    try {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/fonteditor.png")));
        FontEditor = new TFontEditor(showError);
        FontEditor->show();
        const TerminationRequest termination(
            [] { FontEditor->RunHandler([] { FontEditor->close(); }); });
        QApplication::exec();
    } catch (...) {
        showError(std::current_exception());
    }
    delete FontEditor;
    return 0;
}
