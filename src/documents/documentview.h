#pragma once

#include "documents/documentnavigator.h"
#include "documents/picturebridge.h"

#include <QWidget>

class QPrinter;
class QWebEngineLoadingInfo;
class QWebChannel;
class QWebEngineProfile;
class QWebEngineView;

namespace documents {

class DocumentPage;
class RequestGuard;

// The document view WebTexte: a browser that shows the species, character and drawing
// documents from disk or from a web site. Its history holds only the navigations made by
// links inside documents; the program's own navigations replace what is shown. It is sealed:
// local documents run no script of their own, files are read only inside the folders it is
// given, unknown schemes go nowhere, and offline nothing leaves the machine.
class DocumentView : public QWidget, public DocumentNavigator {
    Q_OBJECT
public:
    enum ReadyStateValue { ReadyUninitialized = 0, ReadyLoading = 1, ReadyComplete = 4 };

    // With a reason, the browser engine cannot start on this machine: the view shows the
    // reason in place of documents, and every command is a no-op.
    explicit DocumentView(QWidget* parent = nullptr, const QString& unavailable = QString());
    ~DocumentView() override;

    // DocumentNavigator. Flags NavNoReadFromCache and NavNoWriteToCache ask a web server for
    // a fresh copy; local files are never cached.
    void Navigate2(const QString& url, int flags) override;
    QString LocationURL() const override;
    void Stop() override;

    // ReadyComplete once the document shown has finished loading (or failed to).
    int ReadyState() const { return readyState_; }
    void GoBack();
    void GoForward();
    bool canGoBack() const;
    bool canGoForward() const;
    void Refresh();

    // Offline: no request leaves the machine; only local pages load. A page shown when the
    // mode changes was loaded under the other rules: it is replaced by a blank one.
    void setOffline(bool offline);
    bool Offline() const;
    // Starts the browser on a blank page now rather than with the first document.
    void startBlank();
    // The folders whose files documents may read (the documents and the data folder).
    void setDocumentFolders(const QStringList& folders);

    // The pictures of the document shown report their mouse events to handler, numbered
    // serial; events of an earlier document carry its own number.
    void wirePictures(std::uint32_t serial);
    void setPictureHandler(PictureBridge::Handler handler);

    // Prints the document shown on printer, which must live until printFinished.
    void print(QPrinter* printer);

    // The browser itself, for the document events and the pictures of a drawing sheet; null
    // when the engine is unavailable or before the first page is loaded.
    QWebEngineView* webView() const { return view_; }
    bool available() const { return unavailable_.isEmpty(); }

signals:
    // Before every navigation, of the page or of a frame, with the address about to load.
    void BeforeNavigate2(const QString& url);
    // A navigation of the page or of a frame was refused: a page outside the documents, a
    // scheme of another program, the web while offline.
    void NavigationRefused(const QString& url);
    // The top-level document has finished loading; frames do not raise it.
    void DocumentComplete();
    // The top-level load has ended: complete, failed or stopped.
    void loadEnded();
    void printFinished(bool ok);

private:
    void makeBrowser();
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void seal();
    void refused();

    QString unavailable_;  // why the engine cannot start; empty when it can
    QWebEngineProfile* profile_ = nullptr;
    RequestGuard* guard_ = nullptr;
    PictureBridge* pictures_ = nullptr;
    QWebChannel* channel_ = nullptr;
    DocumentPage* page_ = nullptr;
    QWebEngineView* view_ = nullptr;
    int readyState_ = ReadyUninitialized;
    bool navigationPending_ = false;  // Navigate2 called, its load not yet started
    bool dropHistory_ = false;        // the load in progress is not a step of the history
};

}  // namespace documents
