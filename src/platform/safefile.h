#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces the file at path with bytes so that, whatever happens (a full disk, a removed
// stick, a killed process, a power cut after the call returned), the file afterwards is
// either the old one untouched or the new one whole. The bytes go into a temporary file
// beside the target; every write, the flush to the device and the close are checked before
// it is renamed over the target, and the folder is flushed after the rename. Returns true
// only then; on failure *error says why and the temporary file is gone.
bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error);

// Flushes a folder's entries (a file created, renamed or removed in it) to the device.
bool syncFolder(const QString& folder, QString* error);

// Puts the folder built in place of target with one rename, so that target is at every
// moment either the old folder whole or the new one whole. When target exists the two are
// exchanged and the old contents are left at built for the caller to remove. built must be
// a sibling of target (the same file system).
bool replaceFolder(const QString& built, const QString& target, QString* error);

}  // namespace platform
