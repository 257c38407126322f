#pragma once

#include <QString>

namespace testing_support {

// Counts the openings of one file as the kernel reports them (inotify), so that a test can
// tell that a file was not read again. A look at the file's size and date is no opening.
class FileOpenTrap {
public:
    explicit FileOpenTrap(const QString& path);
    ~FileOpenTrap();
    FileOpenTrap(const FileOpenTrap&) = delete;
    FileOpenTrap& operator=(const FileOpenTrap&) = delete;

    bool armed() const { return watch_ >= 0; }
    // Openings since the trap was set.
    int opens();

private:
    int fd_ = -1;
    int watch_ = -1;
    int opens_ = 0;
};

}  // namespace testing_support
