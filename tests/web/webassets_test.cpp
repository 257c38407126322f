// What the export writes for the player: pictures a browser shows, documents that can run
// nothing and lead nowhere outside the site, and the tables the page reads.
#include "playerdriver.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace testing_support;

namespace {

bool copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, target))
            return false;
    }
    return true;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The object a "globalThis.NAME = {...};" script sets.
QJsonObject scriptObject(const QString& path) {
    QByteArray text = readAll(path);
    const qsizetype start = text.indexOf('=');
    text = text.mid(start + 1).trimmed();
    if (text.endsWith(';')) text.chop(1);
    return QJsonDocument::fromJson(text).object();
}

}  // namespace

TEST(WebAssets, DocumentsAreCleanedAndTheirLinksStayInsideTheSite) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/base";
    ASSERT_TRUE(copyTree(VIREKA_DEMO_BASE, base));
    // Two species keep their documents, which keeps the export short.
    for (const QFileInfo& letter :
         QDir(base + "/documents").entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QFileInfo& species :
             QDir(letter.filePath()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (species.fileName() != "calsp" && species.fileName() != "aescy")
                QDir(species.filePath()).removeRecursively();
    const QString folder = base + "/documents/c/calsp";
    writeAll(dir.path() + "/secret.html", "<p>secret</p>");
    ASSERT_TRUE(QFile::link(dir.path() + "/secret.html", folder + "/outside.html"));
    QByteArray page = readAll(folder + "/calsp_en.html");
    ASSERT_FALSE(page.isEmpty());
    page.replace("</body>",
                 "<script>alert('x')</script><img src=\"http://example.org/t.png\">"
                 "<a href=\"../../../../secret.html\">up</a><a href=\"outside.html\">link</a>"
                 "<a href=\"../../a/aescy/aescy_en.html#top\">cousin</a>"
                 "<a href=\"javascript:alert(1)\">js</a><img src=\"calsp.gif\" onload=\"x()\">"
                 "<a href=\"missing.html\">gone</a></body>");
    writeAll(folder + "/calsp_en.html", page);

    const QString site = dir.path() + "/site";
    const ToolRun r = runTool(VIREKA_KB_PATH, {"export", "web", base, site});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    const QString out = QString::fromUtf8(readAll(site + "/docs/c/calsp/calsp_en.html"));
    EXPECT_FALSE(out.contains("<script")) << out.toStdString();
    EXPECT_FALSE(out.contains("example.org"));
    EXPECT_FALSE(out.contains("onload"));
    EXPECT_FALSE(out.contains("javascript"));
    EXPECT_TRUE(out.contains("<a>up</a>"));
    EXPECT_TRUE(out.contains("<a>link</a>"));  // a symbolic link out of the folder
    EXPECT_TRUE(out.contains("<a>gone</a>"));
    EXPECT_TRUE(out.contains("<a href=\"../../a/aescy/aescy_en.html#top\">cousin</a>"));
    EXPECT_TRUE(out.contains("<img src=\"calsp.gif\">"));
    EXPECT_TRUE(out.contains("Content-Security-Policy"));
    EXPECT_FALSE(QFileInfo::exists(site + "/docs/c/calsp/outside.html"));
    EXPECT_FALSE(QFileInfo::exists(site + "/secret.html"));
}

TEST(WebAssets, EveryPublishedPageIsCleanAndItsLinksLeadToFilesOfTheSite) {
    const QString site = VIREKA_DEMO_WEB;
    static const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#]*)"));
    int pages = 0;
    QDirIterator it(site + "/docs", {"*.html"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString html = QString::fromUtf8(readAll(path));
        ++pages;
        EXPECT_FALSE(html.contains("<script", Qt::CaseInsensitive)) << path.toStdString();
        EXPECT_FALSE(html.contains("http:") || html.contains("https:")) << path.toStdString();
        for (auto m = reference.globalMatch(html); m.hasNext();) {
            const QString target = m.next().captured(1);
            if (target.isEmpty()) continue;
            EXPECT_TRUE(QFileInfo(QFileInfo(path).absolutePath() + "/" + target).isFile())
                << path.toStdString() << " -> " << target.toStdString();
        }
    }
    EXPECT_GT(pages, 49 * 3);
}

TEST(WebAssets, EveryPictureThePageAsksForIsThere) {
    const QJsonObject assets = scriptObject(QStringLiteral(VIREKA_DEMO_WEB) + "/data/assets.js");
    ASSERT_FALSE(assets.isEmpty());
    EXPECT_TRUE(assets["notes"].toArray().isEmpty())
        << QJsonDocument(assets["notes"].toArray()).toJson().toStdString();
    // Each variant of each layer, in both suffixes, and the contradiction marks.
    const QJsonObject layers = assets["drawing"].toObject()["layers"].toObject();
    for (const char* layer :
         {"00/WINGS_A.WMF", "00/WINGS_Z.WMF", "01/BODY_A.WMF", "01/BODY_Z.WMF", "02/RINGS_Z.WMF",
          "03/STRIPES_A.WMF", "03/NONE_Z.WMF", "CONTRA/EYES_A.WMF", "CONTRA/TIP_Z.WMF"}) {
        const QString data = layers[QLatin1String(layer)].toString();
        ASSERT_TRUE(data.startsWith("data:image/png;base64,")) << layer;
        const QImage image = QImage::fromData(QByteArray::fromBase64(data.mid(22).toLatin1()));
        EXPECT_EQ(image.size(), QSize(1200, 900)) << layer;
        // Layers above the first (which lays the paper) leave the rest visible.
        if (!QByteArray(layer).startsWith("00/")) {
            EXPECT_EQ(qAlpha(image.pixel(2, 2)), 0) << layer;
        }
    }
    // The palette colour of the eyes shows exactly in the layer that draws them.
    const QJsonObject body = assets["drawing"].toObject()["layers"].toObject();
    const QImage eyes = QImage::fromData(
        QByteArray::fromBase64(body["01/BODY_A.WMF"].toString().mid(22).toLatin1()));
    EXPECT_EQ(eyes.pixel(1120 / 2, 260 / 2) & 0xffffff, 0x3a78b8u);

    const QJsonObject choices = assets["choices"].toObject();
    EXPECT_EQ(choices.size(), 23);
    for (const QString& key : choices.keys()) {
        const QJsonObject c = choices[key].toObject();
        const QImage picture(QStringLiteral(VIREKA_DEMO_WEB) + "/" + c["file"].toString());
        EXPECT_FALSE(picture.isNull()) << key.toStdString();
        EXPECT_EQ(picture.width(), c["size"].toArray()[0].toInt()) << key.toStdString();
    }
    for (const QJsonValue& b : assets["toolbars"].toObject()["deter"].toArray())
        EXPECT_FALSE(
            QImage(QStringLiteral(VIREKA_DEMO_WEB) + "/" + b["picture"].toString()).isNull());
    EXPECT_EQ(assets["zones"].toArray().size(), 11);
    const QJsonObject strings =
        scriptObject(QStringLiteral(VIREKA_DEMO_WEB) + "/strings/strings.js");
    EXPECT_EQ(strings["1500"].toArray()[0].toString(), "species at");
    EXPECT_EQ(strings["1729"].toArray()[2].toString(), "Valider");
}
