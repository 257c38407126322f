#pragma once

#include <QPageSize>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QWebEngineProfile;
class QWebEnginePage;
class QWebEngineView;

namespace testing_support {

// An exported site opened in a real browser engine (Qt WebEngine, with its default settings
// for local content) in a window of a given size, driven through real mouse events and read
// through the page's own scripts. Each page has a profile of its own, so the browser's
// storage starts empty unless a test shares the profile on purpose.
class WebPage {
public:
    explicit WebPage(QSize size, std::shared_ptr<QWebEngineProfile> profile = nullptr);
    ~WebPage();

    // Loads a file:// address and waits until the player says it is ready; false on a load
    // failure or after the timeout.
    bool open(const QString& url, int timeoutMs = 20000);
    // The result of a script (its last expression); an invalid value after the timeout.
    QVariant js(const QString& script, int timeoutMs = 10000);
    // Waits until the script's value is true.
    bool waitFor(const QString& condition, int timeoutMs = 10000);
    // The centre of an element, scrolled into view first, in the window's coordinates;
    // (-1, -1) when there is no such element.
    QPoint centreOf(const QString& selector);
    // A left click where a person would press and release.
    void click(QPoint at);
    // The files the next file chooser of the page picks, as a person would.
    void setChosenFiles(const QStringList& paths);
    // Lets the page's downloads go into folder; the path of the last one finished, or empty.
    void acceptDownloads(const QString& folder);
    QString lastDownload() const { return *download_; }
    // The messages the page logged (errors included), one per line.
    QString console() const;
    // How many times the page asked to be printed (window.print()).
    int printRequests() const { return *printRequests_; }
    // Prints the page as the browser prints it into a PDF file on pages of `size`.
    bool printToPdf(const QString& path, const QPageSize& size, int timeoutMs = 20000);
    // The keys a person types, sent to the focused element of the page.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::shared_ptr<QWebEngineProfile> profile() const { return profile_; }
    QWebEngineView* view() const { return view_.get(); }

private:
    std::shared_ptr<QWebEngineProfile> profile_;
    std::unique_ptr<QWebEngineView> view_;
    QWebEnginePage* page_ = nullptr;
    std::shared_ptr<QString> console_;
    std::shared_ptr<QStringList> chosen_;
    std::shared_ptr<QString> download_;
    std::shared_ptr<int> printRequests_;
};

}  // namespace testing_support
