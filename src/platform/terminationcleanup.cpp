#include "platform/terminationcleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace platform::terminationcleanup {

namespace {

// The one place of shared state of a command: what a signal, taken on another thread, must
// remove, and the thread that writes it.
struct Tracked {
    std::mutex mutex;
    std::vector<std::string> folders;
    pthread_t writer{};
};

Tracked& tracked() {
    static Tracked t;
    return t;
}

volatile sig_atomic_t holdAsked = 0;
volatile sig_atomic_t writerHeld = 0;

// The writing thread stops here, wherever it was, and stays until the process ends: it
// cannot write into the folder while it is removed, nor make it again. A SIGUSR2 from
// outside keeps its usual effect.
void hold(int signal) {
    if (!holdAsked) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    writerHeld = 1;
    for (;;) ::pause();
}

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// Removes a folder tree with system calls only: the writer may be held inside the memory
// allocator, so nothing here may allocate.
void removeTree(int parent, const char* name, int depth) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && depth < 64) {
        alignas(dirent64) char buffer[8192];
        // Entries removed while the folder is read may hide others: read again until empty.
        for (bool found = true; found;) {
            found = false;
            ::lseek(fd, 0, SEEK_SET);
            ssize_t n = 0;
            while ((n = ::getdents64(fd, buffer, sizeof buffer)) > 0)
                for (ssize_t at = 0; at < n;) {
                    const auto* e = reinterpret_cast<const dirent64*>(buffer + at);
                    at += e->d_reclen;
                    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                        continue;
                    found = true;
                    if (e->d_type == DT_DIR ||
                        (::unlinkat(fd, e->d_name, 0) != 0 && errno == EISDIR))
                        removeTree(fd, e->d_name, depth + 1);
                }
        }
    }
    if (fd >= 0) ::close(fd);
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

[[noreturn]] void watch() {
    const sigset_t set = stopSignals();
    int signal = SIGTERM;
    while (sigwait(&set, &signal) != 0) {
    }
    // Held to the end: a swap of the folder into place is finished first, or never begun.
    tracked().mutex.lock();
    if (!tracked().folders.empty()) {
        holdAsked = 1;
        ::pthread_kill(tracked().writer, SIGUSR2);
        // A writer stuck in the kernel is not waited for long.
        const timespec step{0, 1000000};
        for (int waited = 0; !writerHeld && waited < 3000; ++waited) ::nanosleep(&step, nullptr);
        for (const std::string& folder : tracked().folders) removeTree(AT_FDCWD, folder.c_str(), 0);
    }
    ::signal(signal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
}

}  // namespace

void install() {
    static std::once_flag once;
    std::call_once(once, [] {
        tracked().writer = pthread_self();
        struct sigaction action {};
        action.sa_handler = hold;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGUSR2, &action, nullptr);
        const sigset_t set = stopSignals();
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        std::thread(watch).detach();
    });
}

void track(const QString& folder) {
    const std::string path = QFile::encodeName(folder).toStdString();
    const std::lock_guard guard(tracked().mutex);
    tracked().folders.push_back(path);
}

void untrack(const QString& folder) {
    const std::string path = QFile::encodeName(folder).toStdString();
    const std::lock_guard guard(tracked().mutex);
    std::erase(tracked().folders, path);
}

std::mutex& lock() {
    return tracked().mutex;
}

}  // namespace platform::terminationcleanup
