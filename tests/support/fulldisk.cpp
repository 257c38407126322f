#include "support/fulldisk.h"

#include <sys/mount.h>
#include <QDir>
#include <QFile>
#include <csignal>

namespace testing_support {

FullDisk::FullDisk() {
    folder_ = dir_.path() + QStringLiteral("/disk");
    QDir().mkpath(folder_);
    mounted_ =
        ::mount("tmpfs", QFile::encodeName(folder_).constData(), "tmpfs", 0, "size=64k") == 0;
}

FullDisk::~FullDisk() {
    if (mounted_) ::umount(QFile::encodeName(folder_).constData());
    if (limited_) ::setrlimit(RLIMIT_FSIZE, &saved_);
}

QByteArray FullDisk::tooMuch() {
    if (!mounted_ && !limited_) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = 64 * 1024;
        limited_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    return QByteArray(200 * 1024, 'x');
}

}  // namespace testing_support
