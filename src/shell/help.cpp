#include "shell/help.h"

#include "platform/paths.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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

namespace {

// The desktop may hand the page to its opener and still show nothing, when no program is
// registered for web pages: the opener's own register is asked first, where there is one.
bool desktopHasHtmlHandler() {
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty()) return true;  // nothing to ask: the request itself decides
    QProcess p;
    p.start(query,
            {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return true;
    }
    return p.exitCode() == 0 && !p.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool openHelpOnDesktop(const QString& path) {
    if (path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) && !desktopHasHtmlHandler())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace shell
