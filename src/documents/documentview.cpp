#include "documents/documentview.h"

#include "documents/documentengine.h"
#include "documents/documentpage.h"
#include "documents/requestguard.h"

#include <QLabel>
#include <QPrinter>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace documents {

DocumentView::DocumentView(QWidget* parent, const QString& unavailable)
    : QWidget(parent), unavailable_(unavailable) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!unavailable.isEmpty()) {
        auto* reason = new QLabel(unavailable, this);
        reason->setObjectName(QStringLiteral("DocumentsUnavailable"));
        reason->setTextFormat(Qt::PlainText);  // it may name a path
        reason->setWordWrap(true);
        reason->setAlignment(Qt::AlignCenter);
        reason->setMargin(24);
        layout->addWidget(reason);
        return;
    }
    // The guard and the pictures' bridge hold what the view is told before the browser
    // exists; the browser itself is made when the first page is loaded.
    guard_ = new RequestGuard(this);
    pictures_ = new PictureBridge(this);
}

// The browser engine starts its helper process: it is not paid before a document is shown.
void DocumentView::makeBrowser() {
    if (page_ || !unavailable_.isEmpty()) return;
    drawDocumentsInSoftware();
    // A profile of our own, kept in memory: the view leaves no cache or cookies on disk, and
    // going offline does not touch other browsers of the program.
    profile_ = new QWebEngineProfile(this);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setUrlRequestInterceptor(guard_);
    page_ = new DocumentPage(
        profile_, *guard_,
        [this](const QUrl& url, bool isMainFrame, bool accepted) {
            if (accepted) {
                emit BeforeNavigate2(url.toString());
                return;
            }
            emit NavigationRefused(url.toString());
            if (isMainFrame) refused();
        },
        this);
    seal();
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    layout()->addWidget(view_);
    setFocusProxy(view_);
    view_->show();

    connect(page_, &QWebEnginePage::loadingChanged, this, &DocumentView::onLoadingChanged);
    connect(view_, &QWebEngineView::printFinished, this, &DocumentView::printFinished);
    connect(page_, &QWebEnginePage::pdfPrintingFinished, this,
            [this](const QString&, bool ok) { emit printFinished(ok); });
}

void DocumentView::seal() {
    QWebEngineSettings* s = page_->settings();
    // Local documents may show pictures from the web, as they always could; offline mode
    // still keeps them off the network.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    // Local pages need their own pictures; which files they reach is the guard's to say.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // Pages get no permission of any kind (camera, location, notifications...).
    connect(page_, &QWebEnginePage::featurePermissionRequested, page_,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                page_->setFeaturePermission(origin, feature,
                                            QWebEnginePage::PermissionDeniedByUser);
            });

    channel_ = new QWebChannel(this);
    channel_->registerObject(QLatin1String(PictureBridge::objectName), pictures_);
    page_->setWebChannel(channel_, QWebEngineScript::ApplicationWorld);
    QWebEngineScript script;
    script.setName(QStringLiteral("vireka-pictures"));
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(PictureBridge::script());
    page_->scripts().insert(script);
    // On paper a picture wider than the page is shrunk to its width, its shape kept, rather
    // than cut at the right edge (a drawing page is wider than a portrait sheet).
    QWebEngineScript fit;
    fit.setName(QStringLiteral("vireka-print-fit"));
    fit.setWorldId(QWebEngineScript::ApplicationWorld);
    fit.setInjectionPoint(QWebEngineScript::DocumentReady);
    fit.setRunsOnSubFrames(true);
    fit.setSourceCode(QStringLiteral(
        "(function(){var s=document.createElement('style');s.media='print';"
        "s.textContent='img,svg,video,canvas{max-width:100%!important;height:auto!important}';"
        "(document.head||document.documentElement).appendChild(s);})();"));
    page_->scripts().insert(fit);
}

DocumentView::~DocumentView() {
    // The page must go before its profile, and the view before the page it shows.
    delete view_;
    delete page_;
}

void DocumentView::Navigate2(const QString& url, int flags) {
    makeBrowser();
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
            if (navigationPending_) break;
            readyState_ = ReadyComplete;
            emit loadEnded();
            break;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
        case QWebEngineLoadingInfo::LoadFailedStatus:
            if (navigationPending_) break;
            // The page the program opened replaces the history: Back and Forward only
            // retrace the links followed inside documents.
            if (dropHistory_) page_->history()->clear();
            dropHistory_ = false;
            readyState_ = ReadyComplete;
            // Picture positions are document pixels: the page is never zoomed.
            page_->setZoomFactor(1.0);
            emit DocumentComplete();
            emit loadEnded();
            break;
    }
}

// A refused page never starts loading: what is shown stays, complete.
void DocumentView::refused() {
    if (!navigationPending_ && readyState_ == ReadyComplete) return;
    navigationPending_ = false;
    dropHistory_ = false;
    readyState_ = ReadyComplete;
    emit loadEnded();
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
    if (!guard_ || offline == guard_->offline()) return;
    guard_->setOffline(offline);
    if (!page_ || page_->url().isEmpty() || page_->url() == QUrl(QStringLiteral("about:blank")))
        return;
    // The page shown was let in under the other rules; it must not keep them.
    navigationPending_ = true;
    readyState_ = ReadyLoading;
    dropHistory_ = true;
    page_->load(QUrl(QStringLiteral("about:blank")));
}

void DocumentView::startBlank() {
    makeBrowser();
    if (!page_ || !page_->url().isEmpty()) return;
    navigationPending_ = true;
    readyState_ = ReadyLoading;
    dropHistory_ = true;
    page_->load(QUrl(QStringLiteral("about:blank")));
}

bool DocumentView::Offline() const {
    return !guard_ || guard_->offline();
}

void DocumentView::setDocumentFolders(const QStringList& folders) {
    if (guard_) guard_->setFolders(folders);
}

void DocumentView::wirePictures(std::uint32_t serial) {
    if (page_)
        page_->runJavaScript(PictureBridge::wireCall(serial), QWebEngineScript::ApplicationWorld);
}

void DocumentView::setPictureHandler(PictureBridge::Handler handler) {
    if (pictures_) pictures_->setHandler(std::move(handler));
}

void DocumentView::print(QPrinter* printer) {
    if (printer) makeBrowser();
    if (!view_ || !printer) {
        emit printFinished(false);
        return;
    }
    // A PDF file is written by the browser itself: its text stays text, where printing onto
    // a printer sends pictures of the pages.
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        page_->printToPdf(printer->outputFileName(), printer->pageLayout(), printer->pageRanges());
        return;
    }
    view_->print(printer);
}

}  // namespace documents
