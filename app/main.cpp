#include <QApplication>
#include <QIcon>

#include "app/ApplicationTitle.h"
#include "app/ErrorDisplay.h"
#include "app/TerminationRequest.h"
#include "editor/Unit1.h"

int main(int argc, char* argv[]) {
    // The editor takes no arguments, and Qt must not take its own options
    // (-style, -qwindowtitle, -reverse) from them either.
    char programName[] = "fonteditor";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : programName, nullptr};
    QApplication application(qtArgc, qtArgv);
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
