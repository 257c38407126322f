#include "documents/documentpage.h"

#include "documents/requestguard.h"

#include <QWebEngineSettings>

namespace documents {

DocumentPage::DocumentPage(QWebEngineProfile* profile, const RequestGuard& guard,
                           NavigationHook hook, QObject* parent)
    : QWebEnginePage(profile, parent), guard_(guard), hook_(std::move(hook)) {}

bool DocumentPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    if (!guard_.allows(url)) {
        if (hook_) hook_(url, isMainFrame, false);
        return false;
    }
    if (isMainFrame) {
        const QString scheme = url.scheme().toLower();
        const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
        settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, web && !guard_.offline());
    }
    if (hook_) hook_(url, isMainFrame, true);
    return true;
}

// The knowledge base's pages are not ours to debug; their script messages stay quiet.
void DocumentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                            const QString&) {}

}  // namespace documents
