#include "documents/documentview.h"

#include "documents/documentpage.h"
#include "documents/offlineinterceptor.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace documents {

DocumentView::DocumentView(QWidget* parent, const QString& unavailable) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!unavailable.isEmpty()) {
        auto* reason = new QLabel(unavailable, this);
        reason->setObjectName(QStringLiteral("DocumentsUnavailable"));
        reason->setWordWrap(true);
        reason->setAlignment(Qt::AlignCenter);
        reason->setMargin(24);
        layout->addWidget(reason);
        return;
    }
    // A profile of our own, kept in memory: the view leaves no cache or cookies on disk, and
    // going offline does not touch other browsers of the program.
    profile_ = new QWebEngineProfile(this);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    interceptor_ = new OfflineInterceptor(this);
    profile_->setUrlRequestInterceptor(interceptor_);
    page_ = new DocumentPage(
        profile_, [this](const QUrl& url, bool) { emit BeforeNavigate2(url.toString()); }, this);
    // Local documents may show pictures from the web, as they always could; offline mode
    // still keeps them off the network.
    page_->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    layout->addWidget(view_);
    setFocusProxy(view_);

    connect(page_, &QWebEnginePage::loadingChanged, this, &DocumentView::onLoadingChanged);
    connect(view_, &QWebEngineView::printFinished, this, &DocumentView::printFinished);
}

DocumentView::~DocumentView() {
    // The page must go before its profile, and the view before the page it shows.
    delete view_;
    delete page_;
}

void DocumentView::Navigate2(const QString& url, int flags) {
    if (!page_) return;
    const QUrl target(url);
    navigationPending_ = true;
    readyState_ = ReadyLoading;
    dropHistory_ = (flags & NavNoHistory) != 0;
    if (!target.isLocalFile() && (flags & (NavNoReadFromCache | NavNoWriteToCache))) {
        QWebEngineHttpRequest request(target);
        request.setHeader("Cache-Control", "no-cache, no-store");
        request.setHeader("Pragma", "no-cache");
        page_->load(request);
    } else {
        page_->load(target);
    }
}

QString DocumentView::LocationURL() const {
    return page_ ? page_->url().toString() : QString();
}

void DocumentView::Stop() {
    if (page_) page_->triggerAction(QWebEnginePage::Stop);
}

void DocumentView::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    switch (info.status()) {
        case QWebEngineLoadingInfo::LoadStartedStatus:
            navigationPending_ = false;
            readyState_ = ReadyLoading;
            break;
        case QWebEngineLoadingInfo::LoadStoppedStatus:
            // A load cut short by the next Navigate2 leaves the view loading.
            if (!navigationPending_) readyState_ = ReadyComplete;
            break;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
        case QWebEngineLoadingInfo::LoadFailedStatus:
            if (navigationPending_) break;
            // The page the program opened replaces the history: Back and Forward only
            // retrace the links followed inside documents.
            if (dropHistory_) page_->history()->clear();
            dropHistory_ = false;
            readyState_ = ReadyComplete;
            emit DocumentComplete();
            break;
    }
}

void DocumentView::GoBack() {
    if (page_) page_->triggerAction(QWebEnginePage::Back);
}

void DocumentView::GoForward() {
    if (page_) page_->triggerAction(QWebEnginePage::Forward);
}

bool DocumentView::canGoBack() const {
    return page_ && page_->history()->canGoBack();
}

bool DocumentView::canGoForward() const {
    return page_ && page_->history()->canGoForward();
}

void DocumentView::Refresh() {
    if (page_) page_->triggerAction(QWebEnginePage::Reload);
}

void DocumentView::setOffline(bool offline) {
    if (interceptor_) interceptor_->setOffline(offline);
}

bool DocumentView::Offline() const {
    return !interceptor_ || interceptor_->offline();
}

void DocumentView::print(QPrinter* printer) {
    if (view_)
        view_->print(printer);
    else
        emit printFinished(false);
}

}  // namespace documents
