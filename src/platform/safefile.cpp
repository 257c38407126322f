#include "platform/safefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

QString systemError(const QString& what, int code) {
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(code)));
}

bool writeAll(int fd, const QByteArray& bytes, int* code) {
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *code = n < 0 ? errno : ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// The mode the new file gets: the old file's, or what a new file would get here.
mode_t modeFor(const QByteArray& target) {
    struct stat st;
    if (::stat(target.constData(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A symbolic link is written through, as an editor would: the file it names is replaced.
QString targetOf(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
}

}  // namespace

bool syncFolder(const QString& folder, QString* error) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = systemError(folder, errno);
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    const int code = errno;
    ::close(fd);
    if (!ok && error) *error = systemError(folder, code);
    return ok;
}

bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
    const QString target = targetOf(path);
    const QString folder = QFileInfo(target).absolutePath();
    const QByteArray targetName = QFile::encodeName(target);
    QByteArray temp = QFile::encodeName(folder + QStringLiteral("/.") +
                                        QFileInfo(target).fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = systemError(path, errno);
        return false;
    }
    int code = 0;
    bool ok = ::fchmod(fd, modeFor(targetName)) == 0 || (code = errno, false);
    ok = ok && writeAll(fd, bytes, &code);
    ok = ok && (::fsync(fd) == 0 || (code = errno, false));
    // close() reports errors of writes the file system deferred (NFS, some USB drivers).
    ok = (::close(fd) == 0 || (code = code ? code : errno, false)) && ok;
    ok = ok && (::rename(temp.constData(), targetName.constData()) == 0 || (code = errno, false));
    if (!ok) {
        ::unlink(temp.constData());
        if (error) *error = systemError(path, code);
        return false;
    }
    return syncFolder(folder, error);
}

bool replaceFolder(const QString& built, const QString& target, QString* error) {
    const QByteArray from = QFile::encodeName(built), to = QFile::encodeName(target);
    const bool exists = QFileInfo(target).isDir();
    const int rc =
        exists
            ? ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE)
            : ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (rc != 0) {
        if (error) *error = systemError(target, errno);
        return false;
    }
    return syncFolder(QFileInfo(target).absolutePath(), error);
}

}  // namespace platform
