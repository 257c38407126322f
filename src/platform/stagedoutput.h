#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace platform {

// The output folder of a build. Everything is written into a new folder beside OUT, which
// replaces OUT whole only once it is complete and on the disk: a build that fails or is
// killed leaves the old knowledge base as it was (and at worst a hidden folder beside it),
// never a mix of old and new files, never nothing.
class StagedOutput {
public:
    StagedOutput() = default;
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;
    ~StagedOutput();

    // Checks OUT and creates the folder to write into, after removing the ones earlier runs
    // were killed in (those of OUT whose writer is provably gone). OUT must be missing, empty or a
    // knowledge base (it holds databaseName): any other folder would be lost on replacing.
    bool begin(const QString& out, const QString& databaseName, QString* error);
    // The folder to write into.
    QString path() const { return dir_ ? dir_->path() : QString(); }
    // Flushes every file written and swaps the new folder in; the old one is removed.
    bool commit(QString* error);

private:
    QString out_;
    std::unique_ptr<QTemporaryDir> dir_;
};

}  // namespace platform
