#pragma once

#include <QWebEnginePage>
#include <functional>

namespace documents {

// The page of the document view: reports every navigation, of the page and of its frames,
// before it starts. Navigations are never refused.
class DocumentPage : public QWebEnginePage {
public:
    using NavigationHook = std::function<void(const QUrl& url, bool isMainFrame)>;

    DocumentPage(QWebEngineProfile* profile, NavigationHook hook, QObject* parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;

private:
    NavigationHook hook_;
};

}  // namespace documents
