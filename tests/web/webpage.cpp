#include "webpage.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPageLayout>
#include <QTest>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace testing_support {

namespace {

// Keeps what the page writes to its console, so a failing test can say why.
class LoggingPage : public QWebEnginePage {
public:
    LoggingPage(QWebEngineProfile* profile, std::shared_ptr<QString> log,
                std::shared_ptr<QStringList> chosen, QObject* parent)
        : QWebEnginePage(profile, parent), log_(std::move(log)), chosen_(std::move(chosen)) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int line,
                                  const QString& source) override {
        *log_ += QStringLiteral("%1:%2: %3\n").arg(source).arg(line).arg(message);
    }

    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
        return *chosen_;
    }

private:
    std::shared_ptr<QString> log_;
    std::shared_ptr<QStringList> chosen_;
};

}  // namespace

WebPage::WebPage(QSize size, std::shared_ptr<QWebEngineProfile> profile)
    : profile_(profile ? std::move(profile) : std::make_shared<QWebEngineProfile>()),
      view_(std::make_unique<QWebEngineView>()),
      console_(std::make_shared<QString>()),
      chosen_(std::make_shared<QStringList>()),
      download_(std::make_shared<QString>()),
      printRequests_(std::make_shared<int>(0)) {
    page_ = new LoggingPage(profile_.get(), console_, chosen_, view_.get());
    view_->setPage(page_);
    QObject::connect(page_, &QWebEnginePage::printRequested, page_,
                     [count = printRequests_] { ++*count; });
    view_->resize(size);
    view_->show();
}

WebPage::~WebPage() {
    view_.reset();  // the page goes before its profile
}

bool WebPage::open(const QString& url, int timeoutMs) {
    bool finished = false, ok = false;
    QObject::connect(page_, &QWebEnginePage::loadFinished, page_, [&](bool success) {
        finished = true;
        ok = success;
    });
    page_->load(QUrl(url));
    QElapsedTimer timer;
    timer.start();
    while (!finished && timer.elapsed() < timeoutMs) QTest::qWait(20);
    page_->disconnect(page_, &QWebEnginePage::loadFinished, nullptr, nullptr);
    return ok && waitFor(QStringLiteral("document.body && document.body.dataset.ready === '1'"),
                         int(std::max<qint64>(1000, timeoutMs - timer.elapsed())));
}

QVariant WebPage::js(const QString& script, int timeoutMs) {
    auto result = std::make_shared<QVariant>();
    auto done = std::make_shared<bool>(false);
    page_->runJavaScript(script, [result, done](const QVariant& v) {
        *result = v;
        *done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!*done && timer.elapsed() < timeoutMs) QTest::qWait(5);
    return *done ? *result : QVariant();
}

bool WebPage::waitFor(const QString& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    do {
        if (js(QStringLiteral("Boolean(%1)").arg(condition)).toBool()) return true;
        QTest::qWait(20);
    } while (timer.elapsed() < timeoutMs);
    return false;
}

QPoint WebPage::centreOf(const QString& selector) {
    const QVariantList box =
        js(QStringLiteral("(() => { const e = document.querySelector(%1); if (!e) return [-1, -1];"
                          " e.scrollIntoView({block: 'nearest'}); const r = "
                          "e.getBoundingClientRect(); return [r.left + r.width / 2,"
                          " r.top + r.height / 2]; })()")
               .arg(QStringLiteral("'%1'").arg(selector)))
            .toList();
    if (box.size() != 2) return QPoint(-1, -1);
    return QPoint(int(box[0].toDouble()), int(box[1].toDouble()));
}

void WebPage::click(QPoint at) {
    QWidget* target = view_->focusProxy() ? view_->focusProxy() : view_.get();
    QTest::mouseMove(target, at);
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, at, 30);
    QTest::qWait(30);
}

void WebPage::setChosenFiles(const QStringList& paths) {
    *chosen_ = paths;
}

void WebPage::acceptDownloads(const QString& folder) {
    auto last = download_;
    QObject::connect(profile_.get(), &QWebEngineProfile::downloadRequested, page_,
                     [folder, last](QWebEngineDownloadRequest* request) {
                         request->setDownloadDirectory(folder);
                         QObject::connect(request, &QWebEngineDownloadRequest::isFinishedChanged,
                                          request, [request, last] {
                                              if (request->isFinished())
                                                  *last = request->downloadDirectory() + '/' +
                                                          request->downloadFileName();
                                          });
                         request->accept();
                     });
}

bool WebPage::printToPdf(const QString& path, const QPageSize& size, int timeoutMs) {
    bool finished = false, ok = false;
    QObject::connect(page_, &QWebEnginePage::pdfPrintingFinished, page_,
                     [&](const QString&, bool success) {
                         finished = true;
                         ok = success;
                     });
    page_->printToPdf(path, QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
    QElapsedTimer timer;
    timer.start();
    while (!finished && timer.elapsed() < timeoutMs) QTest::qWait(20);
    page_->disconnect(page_, &QWebEnginePage::pdfPrintingFinished, nullptr, nullptr);
    return finished && ok;
}

void WebPage::type(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = view_->focusProxy() ? view_->focusProxy() : view_.get();
    QTest::keyClick(target, key, modifiers);
    QTest::qWait(30);
}

QString WebPage::console() const {
    return *console_;
}

}  // namespace testing_support
