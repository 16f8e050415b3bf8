#include "editor/GlyphFileAccess.h"

#include <QFile>
#include <QFileInfo>

#include "editor/FileErrors.h"
#include "glyph/FileHead.h"
#include "glyph/FileReplacement.h"
#include "glyph/GlyphFile.h"

namespace {

const QString NotRegularFile = QStringLiteral("Not a regular file");

std::string Utf8(const QString& text) {
    return text.toStdString();
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
                           QStringLiteral("\" に書き込めません。") + reason));
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
    try {
        glyph::ReplaceFile(QFile::encodeName(fullPath).toStdString(), bytes);
    } catch (const glyph::FileWriteError& error) {
        switch (error.GetKind()) {
            case glyph::FileWriteError::Kind::NotRegularFile:
                ThrowCreateError(fullPath, NotRegularFile);
            case glyph::FileWriteError::Kind::CannotCreate:
                ThrowCreateError(fullPath, SystemErrorText(error.Error()));
            case glyph::FileWriteError::Kind::CannotWrite:
                ThrowWriteError(fullPath, SystemErrorText(error.Error()));
        }
        throw;
    }
}
