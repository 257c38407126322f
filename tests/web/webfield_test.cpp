// The exported player away from the desk: it speaks the browser's language, a document's own
// links work from a folder, an address it cannot read starts the key with a message, the
// Print command prints the identification report, and once visited over http the key keeps
// working with the network gone.
#include "fieldchecks.h"
#include "playerdriver.h"
#include "support/pdffiles.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWebEngineProfile>

using namespace testing_support;

TEST(WebPlayerField, TheBrowsersLanguageFirstThenTheOneChosen) {
    auto profile = std::make_shared<QWebEngineProfile>();
    profile->setHttpAcceptLanguage(QStringLiteral("fr-CA,fr;q=0.9,en;q=0.5"));
    WebPage page({1024, 768}, profile);
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    EXPECT_EQ(page.js("document.documentElement.lang").toString(), "fr");
    EXPECT_EQ(
        page.js("document.querySelector('#tabs button[data-tab=results]').textContent").toString(),
        pageText(page, 1013, 2));
    // Spanish chosen: the same browser opens the key in Spanish from then on.
    page.js(
        "(() => { const s = document.getElementById('language'); s.value = '1';"
        " s.dispatchEvent(new Event('change')); })()");
    WebPage again({1024, 768}, profile);
    ASSERT_TRUE(again.open(siteUrl(VIREKA_DEMO_WEB)));
    EXPECT_EQ(again.js("document.documentElement.lang").toString(), "es");
}

TEST(WebPlayerField, DocumentLinksWorkFromAFolderAndABadAddressStartsTheKey) {
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    // From a folder the page asks for no manifest and installs no worker.
    EXPECT_FALSE(page.js("Boolean(document.querySelector('link[rel=manifest]'))").toBool());
    EXPECT_TRUE(page.js("document.title").toString().contains("Dragonflies"));
    page.js("VirekaPlayer.openDocument('BRAPR', 'Brachytron pratense')");
    ASSERT_TRUE(
        page.waitFor("(() => { const d = document.getElementById('doc').contentDocument;"
                     " return d && d.querySelector('a[href$=\"_ds.html\"]'); })()"))
        << page.console().toStdString();
    // "Drawing sheet", clicked as a person clicks it, opens its page in the frame.
    page.click(insideDocument(page, "a[href$=\"_ds.html\"]"));
    EXPECT_TRUE(
        page.waitFor("(() => { const f = document.getElementById('doc');"
                     " return f.contentWindow.location.href.endsWith('brapr_ds.html') &&"
                     " f.contentDocument.body.textContent.trim() !== ''; })()"))
        << page.console().toStdString();
    // And the drawing page, and back through its own link.
    page.js("document.getElementById('doc').contentWindow.history.back()");
    ASSERT_TRUE(
        page.waitFor("(() => { const d = document.getElementById('doc').contentDocument;"
                     " return d && d.querySelector('a[href^=\"dessin_\"]'); })()"));
    page.click(insideDocument(page, "a[href^=\"dessin_\"]"));
    EXPECT_TRUE(
        page.waitFor("document.getElementById('doc').contentWindow.location.href"
                     ".includes('dessin_01_en.html')"));

    // Broken percent-encoding in the address: the start, with a message.
    WebPage bad({360, 740});
    ASSERT_TRUE(bad.open(siteUrl(VIREKA_DEMO_WEB) + "#%E0%A4%A")) << bad.console().toStdString();
    EXPECT_TRUE(bad.waitFor("!document.getElementById('dialog').hidden"));
    EXPECT_EQ(bad.js("document.getElementById('dialogText').textContent").toString(),
              pageText(bad, 1794, 0));
    EXPECT_EQ(bad.js("document.body.dataset.tab").toString(), "key");
    EXPECT_TRUE(painted(bad));
    EXPECT_EQ(chosenStates(bad), QList<int>());
}

TEST(WebPlayerField, PrintGivesTheIdentificationReportOnA4AndLetter) {
    QTemporaryDir dir;
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    ASSERT_TRUE(painted(page));
    ASSERT_TRUE(ask(page, onDrawing(page, 1120, 260), "EYES"));
    pickCell(page, 1);
    confirm(page);
    page.click(page.centreOf("#print"));
    ASSERT_TRUE(page.waitFor("document.getElementById('report').childElementCount > 0"));
    for (int i = 0; i < 100 && page.printRequests() == 0; ++i) page.waitFor("false", 50);
    EXPECT_EQ(page.printRequests(), 1);

    const QString eyes =
        page.js("VirekaPlayer.key.objects[VirekaPlayer.key.objectIndex('EYES')].text").toString();
    const QString answer =
        page.js(QStringLiteral("VirekaPlayer.key.stateTexts[%1]").arg(firstState(page, "EYES") + 1))
            .toString();
    const QString leader =
        page.js("VirekaPlayer.key.species[VirekaPlayer.id().list()[0].species]").toString();
    EXPECT_TRUE(page.js("Boolean(document.querySelector('#report .docCopy'))").toBool())
        << "the leading species' document is not in the report";
    // A sentence of the leading species' document, read from its file.
    const QString pagePath =
        page.js("document.getElementById('printDoc').getAttribute('src')").toString();
    QFile doc(QStringLiteral(VIREKA_DEMO_WEB "/") + pagePath);
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly)) << pagePath.toStdString();
    const QRegularExpressionMatch sentence = QRegularExpression(QStringLiteral("<p>([^<]{20,})"))
                                                 .match(QString::fromUtf8(doc.readAll()));
    ASSERT_TRUE(sentence.hasMatch());

    const struct {
        QPageSize::PageSizeId id;
        QSizeF points;
    } papers[] = {{QPageSize::A4, {595.3, 841.9}}, {QPageSize::Letter, {612, 792}}};
    for (const auto& paper : papers) {
        const QString pdf = dir.filePath(QStringLiteral("report-%1.pdf").arg(int(paper.id)));
        ASSERT_TRUE(page.printToPdf(pdf, QPageSize(paper.id)));
        const std::vector<QSizeF> sizes = PdfFile::pageSizes(pdf);
        ASSERT_FALSE(sizes.empty());
        for (const QSizeF& s : sizes) {
            EXPECT_NEAR(s.width(), paper.points.width(), 2);
            EXPECT_NEAR(s.height(), paper.points.height(), 2);
        }
        const QString text = PdfFile::text(pdf).simplified();
        EXPECT_TRUE(text.contains(eyes + ": " + answer)) << text.left(600).toStdString();
        EXPECT_TRUE(text.contains(engineLegend(page)));
        EXPECT_TRUE(text.contains(leader));
        EXPECT_TRUE(text.contains(sentence.captured(1).simplified().left(40)));
        // No toolbar, no command.
        EXPECT_FALSE(text.contains(pageText(page, 1724, 0)));
        EXPECT_FALSE(text.contains(pageText(page, 1722, 0)));
    }
    // The drawing is in the report.
    EXPECT_TRUE(
        page.js("document.querySelector('#report img.drawing').src.startsWith('data:image/png')")
            .toBool());
}

TEST(WebPlayerField, OnceVisitedOverHttpTheKeyWorksWithoutTheNetwork) {
    LoopbackServer server(QStringLiteral(VIREKA_DEMO_WEB));
    const QString address = server.url(QStringLiteral("index.html"));
    ASSERT_FALSE(address.isEmpty()) << "the loopback server did not start";
    WebPage page({1024, 768});
    ASSERT_TRUE(page.open(address)) << page.console().toStdString();
    EXPECT_TRUE(page.js("Boolean(document.querySelector('link[rel=manifest]'))").toBool());
    // The first visit installs the worker, which fetches every file of the site.
    ASSERT_TRUE(page.waitFor("navigator.serviceWorker.controller !== null", 30000))
        << page.console().toStdString();
    page.js(
        "window.cached = null; caches.keys().then((k) => Promise.all(k.map((n) => caches.open(n)"
        ".then((c) => c.keys())))).then((l) => { window.cached = l.flat().length; })");
    ASSERT_TRUE(page.waitFor("window.cached !== null", 10000));
    EXPECT_GT(page.js("window.cached").toInt(), 100);

    server.stop();
    // Reloaded with no server: the key, its pictures of choices and its documents.
    ASSERT_TRUE(page.open(address)) << page.console().toStdString();
    ASSERT_TRUE(painted(page));
    ASSERT_TRUE(ask(page, onDrawing(page, 1120, 260), "EYES"));
    page.js(
        "window.pictureLoaded = null; (() => { const i = new Image(); i.onload = () => {"
        " window.pictureLoaded = i.naturalWidth > 0; }; i.onerror = () => {"
        " window.pictureLoaded = false; }; i.src = getComputedStyle(document.querySelector("
        "'#choice .cell .part')).backgroundImage.slice(5, -2); })()");
    ASSERT_TRUE(page.waitFor("window.pictureLoaded !== null"));
    EXPECT_TRUE(page.js("window.pictureLoaded").toBool());
    pickCell(page, 1);
    confirm(page);
    EXPECT_EQ(chosenStates(page), QList<int>{firstState(page, "EYES") + 1});
    page.click(page.centreOf("#list button[data-line=\"0\"]"));
    EXPECT_TRUE(
        page.waitFor("(() => { const d = document.getElementById('doc').contentDocument;"
                     " return d && d.readyState === 'complete' && d.querySelector('h1'); })()",
                     10000))
        << page.console().toStdString();
}
