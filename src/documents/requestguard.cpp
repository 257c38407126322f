#include "documents/requestguard.h"

#include "documents/documentfolders.h"

#include <QUrl>

namespace documents {

void RequestGuard::setFolders(const QStringList& folders) {
    const QMutexLocker lock(&mutex_);
    folders_ = folders;
}

QStringList RequestGuard::folders() const {
    const QMutexLocker lock(&mutex_);
    return folders_;
}

bool RequestGuard::allows(const QUrl& url) const {
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file")) return liesInside(url.toLocalFile(), folders());
    // Made in the page from what it already holds.
    if (scheme == QLatin1String("data") || scheme == QLatin1String("blob") ||
        scheme == QLatin1String("about"))
        return true;
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("ws") || scheme == QLatin1String("wss"))
        return !offline_;
    return false;
}

void RequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!allows(info.requestUrl())) info.block(true);
}

}  // namespace documents
