// A key served over http is kept by the browser for offline use; when the site is exported
// again with other content, the next visit fetches the new site and keeps it in place of the
// old one.
#include "fieldchecks.h"
#include "playerdriver.h"

#include <gtest/gtest.h>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace testing_support;

namespace {

bool copyFolder(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + file.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

// The text of a file of the site as the page gets it (through its service worker).
QString fetched(WebPage& page, const QString& file) {
    page.js(QStringLiteral("window.got = null; fetch('%1').then((r) => r.text())"
                           ".then((t) => { window.got = t; }, () => { window.got = ''; })")
                .arg(file));
    if (!page.waitFor("window.got !== null", 10000)) return {};
    return page.js("window.got").toString();
}

// The names of the site's caches in this browser.
QString cacheNames(WebPage& page) {
    page.js("window.names = null; caches.keys().then((k) => { window.names = k.join('|'); })");
    if (!page.waitFor("window.names !== null", 10000)) return {};
    return page.js("window.names").toString();
}

}  // namespace

TEST(WebPlayerUpdate, ASiteExportedAgainReplacesTheCopyKeptForOfflineUse) {
    QTemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site"));
    ASSERT_TRUE(copyFolder(QStringLiteral(VIREKA_DEMO_WEB), site));
    const QString document = QStringLiteral("docs/a/aescy/aescy_en.html");
    LoopbackServer server(site);
    const QString address = server.url(QStringLiteral("index.html"));
    ASSERT_FALSE(address.isEmpty()) << "the loopback server did not start";

    WebPage page({1024, 768});
    ASSERT_TRUE(page.open(address)) << page.console().toStdString();
    ASSERT_TRUE(page.waitFor("navigator.serviceWorker.controller !== null", 30000))
        << page.console().toStdString();
    const QString before = fetched(page, document);
    ASSERT_TRUE(before.contains(QStringLiteral("</html>"), Qt::CaseInsensitive));
    const QString firstCache = cacheNames(page);
    ASSERT_FALSE(firstCache.isEmpty());

    // The site as an export with a changed document writes it: that page and the worker's
    // list of files with its version.
    {
        QFile file(site + '/' + document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(before.toUtf8().replace("</body>", "<p>Revised page</p></body>"));
    }
    {
        QFile worker(site + QStringLiteral("/sw.js"));
        ASSERT_TRUE(worker.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(worker.readAll());
        worker.close();
        const QRegularExpression version(QStringLiteral("SITE_VERSION = \"([0-9a-f]+)\""));
        ASSERT_TRUE(version.match(text).hasMatch());
        text.replace(version, QStringLiteral("SITE_VERSION = \"0123456789abcdef\""));
        ASSERT_TRUE(worker.open(QIODevice::WriteOnly | QIODevice::Truncate));
        worker.write(text.toUtf8());
    }

    // The next visit finds the new worker, which fetches the site again and drops the old
    // copy; from then on the revised page is what the browser keeps, network or not.
    ASSERT_TRUE(page.open(address)) << page.console().toStdString();
    ASSERT_TRUE(
        page.waitFor("(caches.keys().then((k) => { window.kept = k; }),"
                     " Array.isArray(window.kept) && window.kept.length === 1 &&"
                     " window.kept[0].endsWith(' 0123456789abcdef'))",
                     30000))
        << cacheNames(page).toStdString();
    server.stop();
    ASSERT_TRUE(page.open(address)) << page.console().toStdString();
    EXPECT_TRUE(fetched(page, document).contains(QStringLiteral("Revised page")));
    EXPECT_NE(cacheNames(page), firstCache);
}
