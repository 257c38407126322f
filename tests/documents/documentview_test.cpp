#include "documents/documentview.h"
#include "documents/documentprinter.h"
#include "support/pdffiles.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QPrinter>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using documents::DocumentNavigator;
using documents::DocumentView;

// Each of these starts a real browser, which costs seconds: they stay few.
namespace {

class DocumentViewTest : public ::testing::Test {
protected:
    void SetUp() override { view.setDocumentFolders({dir.path()}); }
    QString page(const QString& name, const QByteArray& body) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body>" + body + "</body></html>");
        return QUrl::fromLocalFile(f.fileName()).toString();
    }
    // Navigates and waits until the top-level document is complete.
    bool open(const QString& url, int flags) {
        QSignalSpy complete(&view, &DocumentView::DocumentComplete);
        view.Navigate2(url, flags);
        return complete.wait(30000);
    }

    QTemporaryDir dir;
    DocumentView view;
};

TEST_F(DocumentViewTest, LoadsLocalDocumentsAndKeepsOnlyPlainNavigationsInTheHistoryAndPrints) {
    view.resize(400, 300);
    view.show();
    EXPECT_EQ(view.ReadyState(), DocumentView::ReadyUninitialized);
    EXPECT_EQ(view.LocationURL(), "");
    const QString first = page("abcde_fr.html", "<h1>Abcde</h1>");
    const QString second = page("dessin_01_fr.html", "<p>drawing</p>");
    const QString third = page("fghij_fr.html", "<p>Fghij</p>");

    QSignalSpy before(&view, &DocumentView::BeforeNavigate2);
    QSignalSpy complete(&view, &DocumentView::DocumentComplete);
    view.Navigate2(first, DocumentNavigator::NavLocalDocument);
    EXPECT_EQ(view.ReadyState(), DocumentView::ReadyLoading);  // Navigate2 returns at once
    ASSERT_TRUE(complete.wait(30000));
    EXPECT_EQ(view.ReadyState(), DocumentView::ReadyComplete);
    EXPECT_EQ(view.LocationURL(), first);
    ASSERT_GE(before.size(), 1);
    EXPECT_EQ(before.first().first().toString(), first);
    EXPECT_FALSE(view.canGoBack());

    // A navigation without the history flag, as a link inside a document makes, is a step.
    ASSERT_TRUE(open(second, 0));
    EXPECT_TRUE(view.canGoBack());
    QSignalSpy backDone(&view, &DocumentView::DocumentComplete);
    view.GoBack();
    ASSERT_TRUE(backDone.wait(30000));
    EXPECT_EQ(view.LocationURL(), first);
    EXPECT_TRUE(view.canGoForward());

    // A document opened by the program replaces the history.
    ASSERT_TRUE(open(third, DocumentNavigator::NavLocalDocument));
    EXPECT_EQ(view.LocationURL(), third);
    EXPECT_FALSE(view.canGoBack());
    EXPECT_FALSE(view.canGoForward());

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("printed.pdf"));
    QSignalSpy printed(&view, &DocumentView::printFinished);
    view.print(&printer);
    ASSERT_TRUE(printed.wait(30000));
    EXPECT_TRUE(printed.first().first().toBool());
    QFile pdf(dir.filePath("printed.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
}

// A picture wider than the browser will shrink a page for paper prints whole: its right
// edge, marked in red, is on the paper.
TEST_F(DocumentViewTest, APictureWiderThanThePagePrintsWhole) {
    QImage wide(2400, 400, QImage::Format_RGB32);
    wide.fill(Qt::white);
    for (int y = 0; y < wide.height(); ++y)
        for (int x = wide.width() - 60; x < wide.width(); ++x) wide.setPixel(x, y, qRgb(255, 0, 0));
    ASSERT_TRUE(wide.save(dir.filePath("wide.png")));
    view.resize(600, 400);
    view.show();
    ASSERT_TRUE(
        open(page("dessin_01_en.html", "<img src=\"wide.png\" width=\"2400\" height=\"400\">"),
             DocumentNavigator::NavLocalDocument));
    QPrinter printer(QPrinter::HighResolution);
    testing_support::printToPdf(printer, dir.filePath("wide.pdf"));
    printer.setPageOrientation(QPageLayout::Portrait);
    QSignalSpy printed(&view, &DocumentView::printFinished);
    view.print(&printer);
    ASSERT_TRUE(printed.wait(30000));
    const QImage paper = testing_support::PdfFile::page(dir.filePath("wide.pdf"), 1, 50);
    ASSERT_FALSE(paper.isNull());
    EXPECT_FALSE(testing_support::colourBox(paper, qRgb(255, 0, 0), 40).isEmpty())
        << "the picture's right edge is cut off";
}

TEST_F(DocumentViewTest, DocumentPrinterKeepsThePrinterUntilThePageIsPrintedOneAtATime) {
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(open(page("abcde_en.html", "<h1>Calopteryx virgo</h1><p>Beautiful demoiselle</p>"),
                     DocumentNavigator::NavLocalDocument));
    documents::DocumentPrinter printer(view);
    QSignalSpy finished(&printer, &documents::DocumentPrinter::finished);
    auto first = std::make_unique<QPrinter>(QPrinter::HighResolution);
    testing_support::printToPdf(*first, dir.filePath("document.pdf"));
    ASSERT_TRUE(printer.print(std::move(first)));
    EXPECT_TRUE(printer.busy());
    // A second print while the first runs is refused, its printer unused.
    auto second = std::make_unique<QPrinter>(QPrinter::HighResolution);
    testing_support::printToPdf(*second, dir.filePath("second.pdf"));
    EXPECT_FALSE(printer.print(std::move(second)));
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_FALSE(printer.busy());
    EXPECT_TRUE(testing_support::PdfFile::text(dir.filePath("document.pdf"))
                    .contains("Beautiful demoiselle"));
    EXPECT_FALSE(QFile::exists(dir.filePath("second.pdf")));
}

TEST_F(DocumentViewTest, OfflineViewMakesNoNetworkRequest) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QSignalSpy connections(&server, &QTcpServer::newConnection);
    // Every request is noted by its first line and refused at once, so that none can keep a
    // page loading.
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
    const QString remote = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    const QString local = page("abcde_en.html", "<img src=\"" + remote.toUtf8() + "page.gif\">");

    view.setOffline(true);
    EXPECT_TRUE(view.Offline());
    ASSERT_TRUE(open(local, DocumentNavigator::NavLocalDocument));
    // A web page is refused outright: the local one stays, complete.
    QSignalSpy ended(&view, &DocumentView::loadEnded);
    view.Navigate2(remote + "abcde_en.html", DocumentNavigator::NavNoHistory);
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_EQ(view.ReadyState(), DocumentView::ReadyComplete);
    EXPECT_EQ(view.LocationURL(), local);
    EXPECT_EQ(connections.size(), 0);

    // Back online, the same page reaches the server for its picture: the first request the
    // server hears, so nothing reached it while offline.
    view.setOffline(false);
    view.Navigate2(local, DocumentNavigator::NavLocalDocument);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !requests.isEmpty(); }, 30000));
    EXPECT_EQ(requests.first().toStdString(), "GET /page.gif HTTP/1.1");
}

}  // namespace
