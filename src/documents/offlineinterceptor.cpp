#include "documents/offlineinterceptor.h"

#include <QUrl>

namespace documents {

bool OfflineInterceptor::isLocal(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("file") || scheme == QLatin1String("data") ||
           scheme == QLatin1String("blob") || scheme == QLatin1String("qrc") ||
           scheme == QLatin1String("about");
}

void OfflineInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (offline_ && !isLocal(info.requestUrl())) info.block(true);
}

}  // namespace documents
