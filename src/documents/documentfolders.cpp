#include "documents/documentfolders.h"

#include "platform/paths.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace documents {

bool isPlainCode(const QString& code) {
    return !code.contains(QLatin1Char('/')) && !code.contains(QLatin1Char('\\')) &&
           !code.contains(QLatin1Char(':')) && !code.contains(QLatin1String("..")) &&
           !code.contains(QChar(0));
}

namespace {

// The path with its links followed as far as it exists, the rest cleaned up.
QString resolved(const QString& path) {
    const QString clean = QDir::cleanPath(platform::toLocalPath(path));
    const QString canonical = QFileInfo(clean).canonicalFilePath();
    if (!canonical.isEmpty()) return canonical;
    // Not there (yet): follow the links of the part that exists.
    const QFileInfo info(clean);
    const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
    return parent.isEmpty() ? clean : parent + QLatin1Char('/') + info.fileName();
}

}  // namespace

bool liesInside(const QString& path, const QStringList& folders) {
    if (path.isEmpty()) return false;
    const QString target = resolved(path);
    for (const QString& folder : folders) {
        if (folder.trimmed().isEmpty()) continue;
        QString root = resolved(folder);
        if (!root.endsWith(QLatin1Char('/'))) root += QLatin1Char('/');
        if (target.startsWith(root) || target + QLatin1Char('/') == root) return true;
    }
    return false;
}

QImage readPagePicture(const QString& path, bool* missing, qint64 maxBytes) {
    *missing = false;
    const QFileInfo info(path);
    if (!info.exists()) {
        *missing = true;
        return {};
    }
    // Devices and pipes would never end; a page picture is a plain file of bounded size.
    if (!info.isFile() || info.size() > maxBytes) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QBuffer buffer;
    buffer.setData(file.read(maxBytes));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

}  // namespace documents
