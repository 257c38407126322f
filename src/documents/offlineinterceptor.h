#pragma once

#include <QWebEngineUrlRequestInterceptor>
#include <atomic>

namespace documents {

// Keeps a local-only run off the network: while offline, every request that does not read
// a local resource (file, data, blob, qrc, about) is blocked.
class OfflineInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void setOffline(bool offline) { offline_ = offline; }
    bool offline() const { return offline_; }
    static bool isLocal(const QUrl& url);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    std::atomic<bool> offline_ = false;
};

}  // namespace documents
