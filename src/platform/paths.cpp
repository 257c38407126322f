#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

QString matchInDirectory(const QString& dir, const QString& name) {
    const QDir d(dir.isEmpty() ? QStringLiteral(".") : dir);
    const QStringList entries =
        d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0) return e;
    }
    return name;
}

}  // namespace

QString toLocalPath(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.isEmpty() || QFileInfo::exists(p)) return p;

    QString built = p.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (const QString& part : p.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        QString name = part;
        if (part != QLatin1String(".") && part != QLatin1String("..") &&
            !QFileInfo::exists(joinPath(built, part)))
            name = matchInDirectory(built, part);
        built = joinPath(built, name);
    }
    if (p.endsWith(QLatin1Char('/'))) built = withTrailingSlash(built);
    return built;
}

QString resolveInside(const QString& folder, const QString& name) {
    QString relative = name;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool drive = relative.size() >= 2 && relative.at(1) == QLatin1Char(':');
    if (relative.isEmpty() || relative.startsWith(QLatin1Char('/')) || drive) return {};
    // The folder itself may be written the knowledge base's way ("\\" separators, any case).
    const QString base = toLocalPath(folder);
    const QString root =
        QDir::cleanPath(QDir(base.isEmpty() ? QStringLiteral(".") : base).absolutePath());
    const QString joined = QDir::cleanPath(root + QLatin1Char('/') + relative);
    const QString prefix = withTrailingSlash(root);
    if (!joined.startsWith(prefix)) return {};
    const QString local = toLocalPath(joined);
    // Links are followed only to see where they lead; a missing file has nothing to follow.
    const QFileInfo info(local);
    if (info.exists() || info.isSymLink()) {
        const QString real = info.canonicalFilePath();
        const QString realRoot = withTrailingSlash(QFileInfo(root).canonicalFilePath());
        if (real.isEmpty() || realRoot.size() <= 1 || !real.startsWith(realRoot)) return {};
    }
    return local;
}

bool staysInside(const QString& folder, const QString& path) {
    return path.startsWith(folder) && !resolveInside(folder, path.mid(folder.size())).isEmpty();
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
    return folder + QLatin1Char('/');
}

}  // namespace platform

namespace platform {

QString installedDataDir() {
#ifdef VIREKA_DATA_FROM_BIN
    // An installed tree is found relative to the program, so it can be moved as a whole.
    const QString dir = QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                                            .filePath(QStringLiteral(VIREKA_DATA_FROM_BIN)));
    if (QFileInfo(dir).isDir()) return withTrailingSlash(dir);
#endif
    return QString();
}

}  // namespace platform
