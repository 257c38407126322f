#pragma once

#include <QMutex>
#include <QStringList>
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>

namespace documents {

// What a document may reach. Documents come from a knowledge base someone else wrote:
// files only inside the documents and data folders; no scheme the view does not know
// (nothing is handed to other programs); while offline, nothing that leaves the machine.
class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void setOffline(bool offline) { offline_ = offline; }
    bool offline() const { return offline_; }
    // The folders whose files documents may read.
    void setFolders(const QStringList& folders);
    QStringList folders() const;

    // Whether a document may load url (a page, a frame or anything a page asks for).
    bool allows(const QUrl& url) const;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    std::atomic<bool> offline_ = false;
    mutable QMutex mutex_;  // requests are judged on the browser's own thread
    QStringList folders_;
};

}  // namespace documents
