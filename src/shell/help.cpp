#include "shell/help.h"

#include "platform/paths.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace shell {

namespace {

QString existing(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return QString();
    const QString path = platform::toLocalPath(platform::joinPath(folder, name));
    return QFileInfo(path).isFile() ? path : QString();
}

}  // namespace

QString helpPath(const QString& programDir, const QString& extraHelpDir) {
    for (const QString& path : {existing(programDir, QStringLiteral("help/index.html")),
                                existing(programDir, QStringLiteral("help\\Vireka.chm")),
                                existing(extraHelpDir, QStringLiteral("index.html"))}) {
        if (!path.isEmpty()) return path;
    }
    return QString();
}

void openHelp(const QString& programDir, const QString& extraHelpDir) {
    const QString path = helpPath(programDir, extraHelpDir);
    if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace shell
