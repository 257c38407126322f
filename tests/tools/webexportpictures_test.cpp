// The pictures of choices of an exported site, from a real base written by vireka-kb synth
// (questions of the same number of states share one picture file) and exported by the tool.
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

using testing_support::runTool;
using testing_support::ToolRun;

namespace {

ToolRun vireka_kb(const QStringList& args) {
    return runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "Objet" (upper case) -> "Popup" of every question of the base.
QHash<QString, QString> popups(const QString& database) {
    QHash<QString, QString> result;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* row = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT Objet, Popup FROM Objets_Fic", -1, &row, nullptr) ==
            SQLITE_OK) {
            while (sqlite3_step(row) == SQLITE_ROW) {
                const auto text = [row](int i) {
                    return QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(row, i)));
                };
                result.insert(text(0).toUpper(), text(1));
            }
        }
        sqlite3_finalize(row);
    }
    sqlite3_close(db);
    return result;
}

QJsonObject assetsOf(const QString& site) {
    const QByteArray script = readBytes(site + "/data/assets.js").trimmed();
    const QByteArray prefix = "globalThis.VIREKA_ASSETS = ";
    if (!script.startsWith(prefix) || !script.endsWith(';')) return {};
    return QJsonDocument::fromJson(script.mid(prefix.size(), script.size() - prefix.size() - 1))
        .object();
}

}  // namespace

// A file many questions name is written once and named by each of them. One already as the
// page shows it (an opaque PNG within the size) is kept byte for byte; one with transparent
// pixels is drawn again on white, as the program shows it, and one too large drawn smaller.
TEST(WebExportPictures, ASharedFileIsWrittenOnceAndAnOpaquePngKeptByteForByte) {
    QTemporaryDir dir;
    const QString kb = dir.filePath("kb"), site = dir.filePath("site");
    const ToolRun made = vireka_kb(
        {"synth", kb, "--species", "40", "--states", "130", "--questions", "40", "--zones", "12"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const QHash<QString, QString> popupOf = popups(kb + "/vireka.db");
    ASSERT_EQ(popupOf.size(), 40);
    const QSet<QString> files(popupOf.cbegin(), popupOf.cend());
    ASSERT_GE(files.size(), 2);
    ASSERT_LT(files.size(), popupOf.size());  // some questions share a file

    // The picture of the first question gets a transparent half.
    const QString clear = popupOf.value("Q00000");
    QImage half(120, 90, QImage::Format_ARGB32);
    half.fill(Qt::transparent);
    for (int y = 0; y < 90; ++y)
        for (int x = 60; x < 120; ++x) half.setPixel(x, y, qRgb(200, 30, 30));
    ASSERT_TRUE(half.save(kb + "/choices/" + clear, "PNG"));
    // Another, opaque but wider than a picture of choices may be, is drawn again smaller.
    QString wide;
    for (const QString& f : files)
        if (f != clear && (wide.isEmpty() || f < wide)) wide = f;
    QImage large(3000, 900, QImage::Format_RGB32);
    large.fill(qRgb(20, 90, 160));
    ASSERT_TRUE(large.save(kb + "/choices/" + wide, "PNG"));

    const ToolRun exported = vireka_kb({"export", "web", kb, site});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QJsonObject choices = assetsOf(site).value("choices").toObject();
    ASSERT_EQ(choices.size(), popupOf.size());
    QHash<QString, QString> writtenFor;  // source file -> the site's file
    for (auto it = popupOf.cbegin(); it != popupOf.cend(); ++it) {
        const QString file = choices.value(it.key()).toObject().value("file").toString();
        ASSERT_FALSE(file.isEmpty()) << it.key().toStdString();
        if (writtenFor.contains(*it)) {
            EXPECT_EQ(writtenFor.value(*it), file) << it.key().toStdString();
        }
        writtenFor.insert(*it, file);
    }
    // One file a source file, each its own.
    const QStringList written = QDir(site + "/media/choices").entryList(QDir::Files);
    EXPECT_EQ(written.size(), files.size());
    EXPECT_EQ(QSet<QString>(writtenFor.cbegin(), writtenFor.cend()).size(), files.size());

    for (auto it = writtenFor.cbegin(); it != writtenFor.cend(); ++it) {
        const QByteArray source = readBytes(kb + "/choices/" + it.key());
        const QByteArray copy = readBytes(site + "/" + *it);
        if (it.key() == wide) {
            const QImage shown = QImage::fromData(copy, "PNG");
            EXPECT_EQ(shown.size(), QSize(2400, 720));
            EXPECT_EQ(shown.pixel(1200, 360), qRgb(20, 90, 160));
            continue;
        }
        if (it.key() != clear) {
            EXPECT_EQ(copy, source) << it.key().toStdString();
            continue;
        }
        EXPECT_NE(copy, source);
        const QImage shown = QImage::fromData(copy, "PNG");
        ASSERT_EQ(shown.size(), QSize(120, 90));
        EXPECT_EQ(shown.pixel(10, 45), qRgb(255, 255, 255));
        EXPECT_EQ(shown.pixel(100, 45), qRgb(200, 30, 30));
    }
}
