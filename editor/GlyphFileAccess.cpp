#include "editor/GlyphFileAccess.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#include "editor/FileErrors.h"
#include "glyph/FileHead.h"
#include "glyph/GlyphFile.h"

namespace {

const QString NotRegularFile = QStringLiteral("Not a regular file");

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// Trims what the display should not see at the end of a system message.
QString TrimReason(const QString& text) {
    return QString::fromStdString(glyph::TrimReason(Utf8(text)));
}

[[noreturn]] void ThrowOpenError(const QString& fullPath, const QString& reason) {
    throw EFOpenError(Utf8(QStringLiteral("ファイル ") + fullPath +
                           QStringLiteral(" は開けません。 ") + reason + u' '));
}
[[noreturn]] void ThrowCreateError(const QString& fullPath, const QString& reason) {
    throw EFCreateError(Utf8(QStringLiteral("ファイル \"") + fullPath +
                             QStringLiteral("\" を作成できません。") + reason));
}
[[noreturn]] void ThrowWriteError(const QString& fullPath, const QString& reason) {
    throw EWriteError(Utf8(QStringLiteral("ファイル \"") + fullPath +
                           QStringLiteral("\" に書き込めません。") + TrimReason(reason)));
}

}  // namespace

QString FullPath(const QString& path) {
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

QString SystemErrorText(int errorNumber) {
    return QString::fromStdString(glyph::SystemErrorText(errorNumber));
}

int LoadGlyphFile(const QString& path, glyph::CellGrid& grid) {
    const QString fullPath = FullPath(path);
    const glyph::FileHead head =
        glyph::ReadFileHead(QFile::encodeName(fullPath).toStdString(), glyph::MaxGlyphFileSize);
    switch (head.status) {
        case glyph::FileHeadStatus::Ok:
            break;
        case glyph::FileHeadStatus::CannotOpen:
        case glyph::FileHeadStatus::IsDirectory:
            ThrowOpenError(fullPath, SystemErrorText(head.error));
        case glyph::FileHeadStatus::NotRegularFile:
            ThrowOpenError(fullPath, NotRegularFile);
        case glyph::FileHeadStatus::CannotRead:
            throw EReadError(Utf8(QStringLiteral("ファイル ") + fullPath +
                                  QStringLiteral(" を読み込めません。") +
                                  SystemErrorText(head.error)));
    }
    return glyph::ReadGlyph(head.bytes, grid, Utf8(fullPath));
}

void SaveGlyphFile(const QString& path, std::span<const std::uint8_t> bytes) {
    const QString fullPath = FullPath(path);
    if (fullPath.isEmpty()) ThrowCreateError(fullPath, SystemErrorText(ENOENT));
    const QByteArray nativePath = QFile::encodeName(fullPath);
    struct stat status {};
    if (::stat(nativePath.constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) ThrowCreateError(fullPath, SystemErrorText(EISDIR));
        if (!S_ISREG(status.st_mode)) ThrowCreateError(fullPath, NotRegularFile);
        // No write bit at all marks a read-only file, which even a privileged user must not
        // replace.
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::access(nativePath.constData(), W_OK) != 0)
            ThrowCreateError(fullPath, SystemErrorText(EACCES));
    }

    QSaveFile file(fullPath);
    // A writable file in a folder where no temporary file can be made is written in place.
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a short write shows in write()'s count: a buffered
    // flush can lose the tail of the data and still let commit() succeed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowCreateError(fullPath, TrimReason(file.errorString()));
    const auto size = static_cast<qint64>(bytes.size());
    errno = 0;
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        const int writeError = errno;
        const QString reason = writeError != 0 ? SystemErrorText(writeError) : file.errorString();
        file.cancelWriting();
        ThrowWriteError(fullPath, reason);
    }
    if (!file.commit()) ThrowWriteError(fullPath, file.errorString());
}
