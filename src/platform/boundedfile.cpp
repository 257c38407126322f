#include "platform/boundedfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

using Status = BoundedFile::Status;

BoundedFile::Result failure(Status status, const QString& path, const QString& why,
                            qint64 size = 0) {
    return {status, size, QStringLiteral("%1: %2").arg(path, why)};
}

QString systemText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// What a path that is not a regular file is, in the words of a message.
QString notRegular(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("is a folder, not a file");
    if (S_ISFIFO(mode)) return QStringLiteral("is a pipe (FIFO), not a regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("is a device, not a regular file");
    if (S_ISSOCK(mode)) return QStringLiteral("is a socket, not a regular file");
    return QStringLiteral("is not a regular file");
}

// Opens without blocking, so that a FIFO is seen for what it is instead of waiting for a
// writer, then refuses anything but a regular file.
int openRegular(const QString& path, BoundedFile::Result* result) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        *result = failure(code == ENOENT || code == ENOTDIR ? Status::Missing : Status::ReadFailed,
                          path, systemText(code));
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *result = failure(Status::NotRegular, path, notRegular(st.st_mode));
        return -1;
    }
    *result = {Status::Ok, qint64(st.st_size), QString()};
    return fd;
}

QString tooLarge(qint64 size, qint64 limit) {
    return QStringLiteral("holds %1 bytes, more than the %2 such a file may hold")
        .arg(size)
        .arg(limit);
}

}  // namespace

BoundedFile::Result BoundedFile::inspect(const QString& path) {
    Result result;
    const int fd = openRegular(path, &result);
    if (fd >= 0) ::close(fd);
    return result;
}

BoundedFile::Result BoundedFile::read(const QString& path, qint64 limit, QByteArray* bytes) {
    bytes->clear();
    Result result;
    const int fd = openRegular(path, &result);
    if (fd < 0) return result;
    if (result.size > limit) {
        ::close(fd);
        return failure(Status::TooLarge, path, tooLarge(result.size, limit), result.size);
    }
    // The size is only a hint: the file may grow or shrink while it is read, so the loop
    // stops at the end of the file or one byte past the limit.
    bytes->resize(qsizetype(result.size));
    qint64 done = 0;
    for (;;) {
        if (done == bytes->size()) bytes->resize(qsizetype(std::min(done + 65536, limit + 1)));
        if (done == bytes->size()) break;
        const ssize_t n = ::read(fd, bytes->data() + done, size_t(bytes->size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int code = errno;
            ::close(fd);
            bytes->clear();
            return failure(Status::ReadFailed, path, systemText(code), result.size);
        }
        if (n == 0) break;
        done += n;
    }
    ::close(fd);
    bytes->resize(qsizetype(done));
    if (done > limit) {
        bytes->clear();
        return failure(Status::TooLarge, path, tooLarge(done, limit), done);
    }
    result.size = done;
    return result;
}

}  // namespace platform
