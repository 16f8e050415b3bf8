#include "editor/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        // Qt reads the patterns from the description's closing parentheses.
        if (description.endsWith(u'(' + pattern + u')'))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + QString(pattern).replace(u';', u' ') +
                           u')';
    }
    return filters;
}

bool TQtFileDialog::Execute() {
    QFileDialog dialog(owner_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode_ == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(Filter));
    if (!FileName.isEmpty()) {
        const QFileInfo preset(FileName);
        dialog.setDirectory(preset.absoluteDir());
        dialog.selectFile(preset.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    FileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    return true;
}
