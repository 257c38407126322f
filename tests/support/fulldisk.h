#pragma once

#include <sys/resource.h>
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// A folder on a file system that is really full: a 64 KB tmpfs where the machine lets the
// tests mount one (as root), otherwise a file-size limit on this process, which makes the
// kernel refuse writes past 64 KB the same way (its signal is ignored, as a program's would
// be). Either is undone when the object goes.
class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    QString folder() const { return folder_; }
    bool mounted() const { return mounted_; }
    const char* kind() const { return mounted_ ? "64 KB tmpfs" : "file-size limit"; }
    // Fills the disk from now on and returns bytes that no longer fit on it.
    QByteArray tooMuch();

private:
    QTemporaryDir dir_;
    QString folder_;
    bool mounted_ = false, limited_ = false;
    rlimit saved_{};
};

}  // namespace testing_support
