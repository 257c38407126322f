#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Writes a file of a folder being built beside its destination (StagedOutput, an import's
// work folder). Every write and the close are checked, but nothing is flushed to the device
// here: the whole folder is flushed once before it is swapped in, which costs one sync
// instead of one per file.
bool writeStagedFile(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace platform
