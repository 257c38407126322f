#include "authoring/import/datasetfiles.h"

#include "platform/picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace authoring::datasetfiles {

QString inside(const QString& folder, const QString& name) {
    QString relative = name.trimmed();
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (relative.isEmpty() || QDir::isAbsolutePath(relative)) return {};
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty()) return {};
    const QString candidate = QDir::cleanPath(root + QLatin1Char('/') + relative);
    QFileInfo info(candidate);
    // A link may point anywhere: what counts is where it ends.
    const QString real = info.exists() ? info.canonicalFilePath() : candidate;
    if (!real.startsWith(root + QLatin1Char('/'))) return {};
    return real;
}

QString outside(const QString& name) {
    return QStringLiteral("%1: leads out of the dataset's folder (a link or a path elsewhere)")
        .arg(name);
}

bool read(const QString& path, qint64 limit, QByteArray& bytes, QString& error) {
    const QFileInfo info(path);
    if (!info.exists()) return (error = QStringLiteral("%1: no such file").arg(path), false);
    if (!info.isFile()) return (error = QStringLiteral("%1: not a regular file").arg(path), false);
    if (info.size() > limit)
        return (error = QStringLiteral("%1: larger than %2 bytes").arg(path).arg(limit), false);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return (error = QStringLiteral("%1: cannot be read").arg(path), false);
    // Read by pieces: asking for the whole limit at once would take that much memory for
    // every file, however small (64 MB for each DELTA file).
    bytes.clear();
    bytes.reserve(qsizetype(std::min(info.size(), limit)) + 1);
    while (true) {
        // The size on disk first (and one byte to see the end), then by megabytes for a
        // file that grows or says it is empty.
        const qint64 wanted = std::max<qint64>(info.size() + 1 - bytes.size(), 4096);
        const QByteArray part =
            file.read(std::min<qint64>({wanted, 1 << 20, limit + 1 - bytes.size()}));
        if (part.isEmpty()) break;
        bytes += part;
        if (bytes.size() > limit)
            return (error = QStringLiteral("%1: larger than %2 bytes").arg(path).arg(limit), false);
    }
    return true;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    // Windows-1252: Latin-1 except for the printable characters it puts in 0x80..0x9F.
    static const char16_t high[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    text.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b));
    }
    return text;
}

QImage readPicture(const QString& path, QString& error) {
    QByteArray bytes;
    if (!read(path, kPictureLimit, bytes, error)) return {};
    const platform::Picture picture = platform::Picture::fromData(bytes, path, &error);
    if (picture.isNull()) return {};
    const QSize size = picture.naturalSize().toSize();
    const QImage image = picture.render(size.isEmpty() ? QSize(1, 1) : size);
    if (image.isNull()) error = QStringLiteral("%1: the picture is too large").arg(path);
    return image;
}

}  // namespace authoring::datasetfiles
