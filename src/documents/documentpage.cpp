#include "documents/documentpage.h"

namespace documents {

DocumentPage::DocumentPage(QWebEngineProfile* profile, NavigationHook hook, QObject* parent)
    : QWebEnginePage(profile, parent), hook_(std::move(hook)) {}

bool DocumentPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    if (hook_) hook_(url, isMainFrame);
    return true;
}

// The knowledge base's pages are not ours to debug; their script messages stay quiet.
void DocumentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                            const QString&) {}

}  // namespace documents
