#pragma once

#include <QWebEnginePage>
#include <functional>

namespace documents {

class RequestGuard;

// The page of the document view: refuses every navigation, of the page or of a frame, that
// the guard does not allow, and reports the others before they start. Page scripts run only
// in documents from the web; the program's own script works in every document.
class DocumentPage : public QWebEnginePage {
public:
    // Told of every navigation, and whether it may go ahead.
    using NavigationHook = std::function<void(const QUrl& url, bool isMainFrame, bool accepted)>;

    DocumentPage(QWebEngineProfile* profile, const RequestGuard& guard, NavigationHook hook,
                 QObject* parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;

private:
    const RequestGuard& guard_;
    NavigationHook hook_;
};

}  // namespace documents
