#include "support/fileopentrap.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QFile>
#include <cstring>

namespace testing_support {

FileOpenTrap::FileOpenTrap(const QString& path) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) watch_ = inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_OPEN);
}

FileOpenTrap::~FileOpenTrap() {
    if (fd_ >= 0) close(fd_);
}

int FileOpenTrap::opens() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            if (event.mask & IN_OPEN) ++opens_;
            at += ssize_t(sizeof(inotify_event)) + ssize_t(event.len);
        }
    }
    return opens_;
}

}  // namespace testing_support
