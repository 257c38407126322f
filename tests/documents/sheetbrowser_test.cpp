#include "documents/documentview.h"

#include <gtest/gtest.h>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QUrl>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <optional>

using documents::DocumentNavigator;
using documents::DocumentView;
using documents::PictureBridge;
using documents::PictureEvent;

// Each of these starts a real browser, which costs seconds: they stay few. The documents
// are hostile on purpose: each tries to get through the view's seal and must fail.
namespace {

struct Reported {
    PictureBridge::Kind kind;
    std::uint32_t serial;
    PictureEvent e;
};

// Receives the URLs the desktop would have been asked to open.
class DesktopCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class SheetBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        documentsDir = dir.filePath("kb/documents/a/abcde/");
        QDir().mkpath(documentsDir);
        QDir().mkpath(dir.filePath("elsewhere"));
        picture(documentsDir + "abcde.png");
        picture(dir.filePath("elsewhere/secret.png"));
        QFile secret(dir.filePath("elsewhere/secret.html"));
        ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
        secret.write("<html><body>secret</body></html>");
        view.setDocumentFolders({dir.filePath("kb/documents/"), dir.filePath("kb/data/")});
        view.setOffline(true);
        view.resize(500, 400);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    static void picture(const QString& path) {
        QImage image(40, 60, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(path, "PNG"));
    }
    QString page(const QString& name, const QByteArray& head, const QByteArray& body) {
        QFile f(documentsDir + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<!DOCTYPE html><html><head><title>sheet</title>" + head +
                "<style>body{margin:0}</style></head><body>" + body + "</body></html>");
        return QUrl::fromLocalFile(f.fileName()).toString();
    }
    bool open(const QString& url) {
        QSignalSpy complete(&view, &DocumentView::DocumentComplete);
        view.Navigate2(url, DocumentNavigator::NavLocalDocument);
        return complete.wait(30000);
    }
    // Runs a script in the program's own world and returns its result.
    QVariant evaluate(const QString& script) {
        QVariant result;
        bool done = false;
        view.webView()->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                              [&](const QVariant& v) {
                                                  result = v;
                                                  done = true;
                                              });
        if (!QTest::qWaitFor([&] { return done; }, 10000)) return QStringLiteral("timeout");
        return result;
    }
    QWidget* surface() { return view.webView()->focusProxy(); }
    // Waits until the view has decided on a navigation to an address ending with `end`,
    // and says whether it let it through. Navigations from one page are decided in the
    // order they were asked for: once a later one is decided, an earlier one has been too.
    std::optional<bool> decided(const QSignalSpy& accepted, const QSignalSpy& refused,
                                const QString& end) {
        const auto seen = [&end](const QSignalSpy& spy) {
            for (const QList<QVariant>& call : spy)
                if (call.value(0).toString().endsWith(end)) return true;
            return false;
        };
        if (!QTest::qWaitFor([&] { return seen(accepted) || seen(refused); }, 10000))
            return std::nullopt;
        return seen(accepted);
    }
    QString outside(const QString& name) {
        return QUrl::fromLocalFile(dir.filePath("elsewhere/" + name)).toString();
    }

    QTemporaryDir dir;
    QString documentsDir;
    DocumentView view;
};

TEST_F(SheetBrowserTest, PicturesReportPressMoveAndClickWithScrollOffsetsButNotForgedEvents) {
    QList<Reported> events;
    view.setPictureHandler([&](PictureBridge::Kind k, std::uint32_t serial, const PictureEvent& e) {
        events << Reported{k, serial, e};
    });
    page("abcde_en.html", {}, "own");
    // Beside the picture, a link the view refuses: clicked after something that must not
    // navigate, its refusal tells that the first click was dealt with.
    const QString sheet = page("abcde_ds.html", {},
                               "<div style=\"height:3000px\"><a href=\"abcde_en.html\">"
                               "<img src=\"abcde.png\" style=\"position:absolute;left:12px;"
                               "top:72px;width:100px;height:150px\"></a><a href=\"" +
                                   outside("secret.html").toUtf8() +
                                   "\" style=\"position:absolute;left:200px;top:72px;"
                                   "width:100px;height:50px;display:block\">away</a></div>");
    ASSERT_TRUE(open(sheet));
    view.wirePictures(7);
    EXPECT_EQ(evaluate("window.scrollTo(0, 40); document.scrollingElement.scrollTop"), 40);
    // The channel is up once a move over the picture comes through.
    int wiggle = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QTest::mouseMove(surface(), QPoint(40 + (++wiggle % 2), 90));
            return !events.isEmpty();
        },
        10000));
    events.clear();

    // The picture is at 32 .. 182 of the window once scrolled by 40.
    QTest::mouseMove(surface(), QPoint(50, 100));
    QTest::mousePress(surface(), Qt::LeftButton, {}, QPoint(50, 100));
    const auto first = [&](PictureBridge::Kind kind) {
        return std::find_if(events.begin(), events.end(),
                            [kind](const Reported& r) { return r.kind == kind; });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return first(PictureBridge::Down) != events.end(); }, 10000));
    const Reported down = *first(PictureBridge::Down);
    EXPECT_EQ(down.serial, 7u);
    EXPECT_EQ(down.e.href, QUrl::fromLocalFile(documentsDir + "abcde.png").toString());
    EXPECT_EQ(down.e.x, 50);
    EXPECT_EQ(down.e.y, 100);
    EXPECT_EQ(down.e.dx, 0);
    EXPECT_EQ(down.e.dy, 40);
    QTest::mouseRelease(surface(), Qt::LeftButton, {}, QPoint(50, 100));

    QTest::mouseMove(surface(), QPoint(70, 120));
    const auto movedThere = [&] {
        return std::find_if(events.begin(), events.end(), [](const Reported& r) {
            return r.kind == PictureBridge::Move && r.e.x == 70;
        });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return movedThere() != events.end(); }, 10000));
    EXPECT_EQ(movedThere()->e.y, 120);
    EXPECT_EQ(movedThere()->e.dy, 40);

    // A click reports and follows no link around the picture.
    QSignalSpy accepted(&view, &DocumentView::BeforeNavigate2);
    QSignalSpy refused(&view, &DocumentView::NavigationRefused);
    const QPoint away(250, 60);
    events.clear();
    QTest::mouseClick(surface(), Qt::LeftButton, {}, QPoint(70, 120));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return first(PictureBridge::Click) != events.end(); }, 10000));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, away);
    EXPECT_EQ(decided(accepted, refused, "secret.html"), false);
    EXPECT_EQ(accepted.size(), 0) << "the picture's link was followed";
    EXPECT_EQ(view.LocationURL().toStdString(), sheet.toStdString());

    // Events made up by a script are not the user's: none is reported. A real move, reported
    // after them, and a refused real click show that they have been dealt with.
    events.clear();
    refused.clear();
    evaluate(
        "var i = document.images[0];"
        "['mousedown', 'mousemove', 'click'].forEach(function (t) {"
        "  i.dispatchEvent(new MouseEvent(t, {clientX: 60, clientY: 60, bubbles: true, cancelable: "
        "true})); });"
        "true");
    QTest::mouseMove(surface(), QPoint(80, 130));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !events.isEmpty(); }, 10000));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, away);
    EXPECT_EQ(decided(accepted, refused, "secret.html"), false);
    for (const Reported& r : events) {
        EXPECT_EQ(r.kind, PictureBridge::Move);
        EXPECT_EQ(r.e.x, 80) << "a made-up event was reported";
    }
    EXPECT_EQ(accepted.size(), 0) << "a made-up click followed the link";
    EXPECT_EQ(view.LocationURL().toStdString(), sheet.toStdString());
}

TEST_F(SheetBrowserTest, LocalDocumentRunsNoScriptReadsNothingOutsideAndOpensNoOtherProgram) {
    DesktopCatcher desktop;
    QDesktopServices::setUrlHandler("vireka-launch", &desktop, "open");
    const QString url =
        page("abcde_ds.html", {},
             "<script>document.title = 'script ran';"
             "fetch('file:///etc/hostname').then(r => r.text()).then(t => document.title = t);"
             "</script>"
             "<img id=\"in\" src=\"abcde.png\"><img id=\"out\" src=\"" +
                 outside("secret.png").toUtf8() +
                 "\"><img id=\"etc\" src=\"file:///usr/share/pixmaps/debian-logo.png\">"
                 "<a id=\"far\" href=\"" +
                 outside("secret.html").toUtf8() +
                 "\" style=\"display:block;height:40px\">far</a>"
                 "<a id=\"launch\" href=\"vireka-launch:run\" style=\"display:block;height:40px\">"
                 "run</a>");
    ASSERT_TRUE(open(url));
    // The script would have run while the page was read, before it was complete.
    EXPECT_EQ(evaluate("document.title").toString().toStdString(), "sheet");
    EXPECT_EQ(view.webView()->page()->title(), "sheet");
    // Pictures inside the documents folder load; the one elsewhere does not.
    EXPECT_EQ(evaluate("document.getElementById('in').naturalWidth").toString().toStdString(),
              "40");
    EXPECT_EQ(evaluate("document.getElementById('out').naturalWidth"), 0);
    EXPECT_EQ(evaluate("document.getElementById('etc').naturalWidth"), 0);

    // Links clicked by the user: to a file elsewhere, to a scheme another program handles.
    const auto centre = [&](const char* id) {
        const QVariantList r =
            evaluate(QStringLiteral("var r = document.getElementById('%1').getBoundingClientRect();"
                                    "[r.left + 5, r.top + r.height / 2]")
                         .arg(QLatin1String(id)))
                .toList();
        return r.size() == 2 ? QPoint(r[0].toInt(), r[1].toInt()) : QPoint();
    };
    // A refused navigation still starts and ends as a load of the view: its end is the sign
    // that the click has been dealt with.
    QSignalSpy accepted(&view, &DocumentView::BeforeNavigate2);
    QSignalSpy refused(&view, &DocumentView::NavigationRefused);
    QSignalSpy ended(&view, &DocumentView::loadEnded);
    QTest::mouseClick(surface(), Qt::LeftButton, {}, centre("far"));
    EXPECT_EQ(decided(accepted, refused, "secret.html"), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.size() >= 1; }, 10000));
    EXPECT_EQ(view.LocationURL(), url);
    // Another program's scheme is dropped before the view is asked about it.
    QTest::mouseClick(surface(), Qt::LeftButton, {}, centre("launch"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.size() >= 2; }, 10000));
    EXPECT_EQ(accepted.size(), 0);
    EXPECT_EQ(view.LocationURL(), url);

    // Sent away without the user: to a file elsewhere, to another program's scheme. The
    // refusals are watched from before each page opens: a refresh may come at once.
    QSignalSpy refreshRefused(&view, &DocumentView::NavigationRefused);
    ASSERT_TRUE(open(page(
        "abcde_en.html",
        "<meta http-equiv=\"refresh\" content=\"0;url=" + outside("secret.html").toUtf8() + "\">",
        "own")));
    EXPECT_EQ(decided(accepted, refreshRefused, "secret.html"), false);
    EXPECT_TRUE(view.LocationURL().endsWith("abcde_en.html"));
    // The refresh to another program's scheme ends as a load of its own after the page's.
    ended.clear();
    ASSERT_TRUE(
        open(page("dessin_01_en.html",
                  "<meta http-equiv=\"refresh\" content=\"0;url=vireka-launch:run\">", "drawing")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.size() >= 2; }, 10000));
    EXPECT_TRUE(view.LocationURL().endsWith("dessin_01_en.html"));
    for (const QList<QVariant>& call : accepted)
        EXPECT_FALSE(call.value(0).toString().startsWith("vireka-launch"));
    EXPECT_TRUE(desktop.opened.isEmpty());
    QDesktopServices::unsetUrlHandler("vireka-launch");
}

TEST_F(SheetBrowserTest, LocalDocumentsReachNoNetworkNotEvenThroughWebRtcNorAfterSwitchingToWeb) {
    QUdpSocket stun;
    ASSERT_TRUE(stun.bind(QHostAddress::LocalHost, 0));
    // The server notes the first line of every request it gets, then hangs up.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QStringList requests;
    QObject::connect(&server, &QTcpServer::newConnection, [&server, &requests] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, &requests] {
                if (!socket->canReadLine()) return;
                requests << QString::fromLatin1(socket->readLine()).trimmed();
                socket->abort();
                socket->deleteLater();
            });
        }
    });
    QSignalSpy connections(&server, &QTcpServer::newConnection);
    const QByteArray port = QByteArray::number(stun.localPort());
    const QByteArray web = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    const QString url =
        page("abcde_ds.html", {},
             "<script>var pc = new RTCPeerConnection({iceServers: [{urls: 'stun:127.0.0.1:" + port +
                 "'}]}); pc.createDataChannel('x');"
                 "pc.createOffer().then(o => pc.setLocalDescription(o));"
                 "document.title = 'script ran';</script>"
                 "<div style=\"height:4000px\"></div><img loading=\"lazy\" src=\"" +
                 web + "/late.png\">");
    ASSERT_TRUE(open(url));
    // Only the page's script could reach the network while the page is shown; it would have
    // run, to its last line, before the page was complete.
    EXPECT_EQ(evaluate("document.title").toString().toStdString(), "sheet");
    EXPECT_FALSE(stun.hasPendingDatagrams());
    EXPECT_EQ(connections.size(), 0);

    // Documents switched to the web: the local page is not left to reach the server. The
    // scroll would have asked for its late picture before the page the program then opens
    // on the server, whose request is the sign that the server has heard everything.
    QSignalSpy complete(&view, &DocumentView::DocumentComplete);
    view.setOffline(false);
    ASSERT_TRUE(complete.wait(30000));
    EXPECT_EQ(view.LocationURL(), "about:blank");
    evaluate("window.scrollTo(0, 5000); true");
    view.Navigate2(QString::fromLatin1(web + "/sentinel.html"), DocumentNavigator::NavNoHistory);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !requests.isEmpty(); }, 30000));
    EXPECT_EQ(requests, QStringList{"GET /sentinel.html HTTP/1.1"});
    EXPECT_FALSE(stun.hasPendingDatagrams());
}

}  // namespace

#include "sheetbrowser_test.moc"
