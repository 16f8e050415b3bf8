#include "editor/GlyphFileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <system_error>
#include <vector>

#include "editor/FileErrors.h"
#include "glyph/GlyphFile.h"

namespace {

const QString NotRegularFile = QStringLiteral("Not a regular file");

// Trims what the display should not see at the end of a system message.
QString TrimReason(QString text) {
    while (!text.isEmpty() && (text.back() <= u' ' || text.back() == u'.')) text.chop(1);
    return text;
}

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
                           QStringLiteral("\" に書き込めません。") + TrimReason(reason)));
}

class UniqueFd {
  public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

QString FullPath(const QString& path) {
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

QString SystemErrorText(int errorNumber) {
    return TrimReason(QString::fromStdString(std::generic_category().message(errorNumber)));
}

int LoadGlyphFile(const QString& path, glyph::CellGrid& grid) {
    const QString fullPath = FullPath(path);
    // Non-blocking, so that a FIFO or a device cannot hold the window before it is refused.
    const UniqueFd fd(::open(QFile::encodeName(fullPath).constData(),
                             O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) ThrowOpenError(fullPath, SystemErrorText(errno));
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) ThrowOpenError(fullPath, SystemErrorText(errno));
    if (S_ISDIR(status.st_mode)) ThrowOpenError(fullPath, SystemErrorText(EISDIR));
    if (!S_ISREG(status.st_mode)) ThrowOpenError(fullPath, NotRegularFile);

    std::vector<std::uint8_t> bytes(glyph::MaxGlyphFileSize);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0)
            throw EReadError(Utf8(QStringLiteral("ファイル ") + fullPath +
                                  QStringLiteral(" を読み込めません。") + SystemErrorText(errno)));
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return glyph::ReadGlyph(bytes, grid, Utf8(fullPath));
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
