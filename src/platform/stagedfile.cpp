#include "platform/stagedfile.h"

#include <QFile>

namespace platform {

bool writeStagedFile(const QString& path, const QByteArray& bytes, QString* error) {
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(bytes) == bytes.size() && file.flush();
    // close() flushes what is buffered: its failure (a full disk) shows in error().
    if (ok) file.close();
    if (ok && file.error() == QFileDevice::NoError) return true;
    if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    if (file.isOpen()) file.close();
    QFile::remove(path);
    return false;
}

}  // namespace platform
