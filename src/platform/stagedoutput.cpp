#include "platform/stagedoutput.h"

#include "platform/safefile.h"
#include "platform/stagingowner.h"
#include "platform/terminationcleanup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

// Flushes the whole file system holding folder: the build writes hundreds of files and
// every one must be on the disk before the folder holding them is swapped in.
bool syncFileSystem(const QString& folder, QString* error) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::syncfs(fd) == 0;
    const int code = errno;
    if (fd >= 0) ::close(fd);
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(code)));
    return ok;
}

}  // namespace

bool StagedOutput::begin(const QString& out, const QString& databaseName, QString* error) {
    const QFileInfo info(QDir::cleanPath(QDir(out).absolutePath()));
    out_ = info.absoluteFilePath();
    if (info.exists()) {
        const QDir existing(out_);
        const bool empty = info.isDir() &&
                           existing.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (info.isSymLink() || !info.isDir() ||
            (!empty && !QFileInfo(existing.filePath(databaseName)).isFile())) {
            *error = QStringLiteral(
                         "%1 is not a knowledge base nor an empty folder; it would be "
                         "replaced whole, so choose another output folder")
                         .arg(out_);
            return false;
        }
    }
    const QString parent = info.absolutePath();
    if (!QDir().mkpath(parent)) {
        *error = QStringLiteral("cannot create ") + parent;
        return false;
    }
    platform::stagingowner::removeAbandoned(out_);
    dir_ = std::make_unique<QTemporaryDir>(parent + QStringLiteral("/.") + info.fileName() +
                                           QStringLiteral(".building-XXXXXX"));
    if (!dir_->isValid()) {
        *error =
            QStringLiteral("cannot create a folder beside %1: %2").arg(out_, dir_->errorString());
        dir_.reset();
        return false;
    }
    // A temporary folder is private to its owner; a knowledge base is read by every user.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(dir_->path()).constData(), 0777 & ~mask);
    platform::terminationcleanup::track(dir_->path());
    platform::stagingowner::mark(dir_->path());
    return true;
}

StagedOutput::~StagedOutput() {
    if (!dir_) return;
    // The folder (after a commit, the old base) is removed while a stop would still remove
    // it too; when a stop is being handled, untrack() waits until the process ends.
    const QString path = dir_->path();
    dir_.reset();
    platform::terminationcleanup::untrack(path);
}

bool StagedOutput::commit(QString* error) {
    if (!dir_) return false;
    if (!syncFileSystem(dir_->path(), error)) return false;
    // After the exchange the temporary folder holds the old base, which its removal deletes.
    // A stop is handled wholly before the swap or after it, never during.
    const std::lock_guard guard(platform::terminationcleanup::lock());
    platform::stagingowner::unmark(dir_->path());
    return platform::replaceFolder(dir_->path(), out_, error);
}

}  // namespace platform
