#include "authoring/webexport/webinstall.h"

#include "kb/model.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/stagedfile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSet>
#include <QUrl>
#include <algorithm>

namespace authoring {

namespace {

bool fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The rows of "Hierarchie" that hold whatever is described: their first condition is "Fin".
QStringList unconditionalPictures(kb::Model& model) {
    QStringList paths;
    kb::Table t = model.HierarchyTable;
    if (!t.isValid()) return paths;
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        if (t.field(QStringLiteral("C_0")).toString() != QLatin1String("Fin")) continue;
        paths << QStringLiteral("%1/%2")
                     .arg(t.field(QStringLiteral("Robot_Num")).toInt(), 2, 10, QLatin1Char('0'))
                     .arg(t.field(QStringLiteral("Nom")).toString());
    }
    return paths;
}

// The box of the pixels that are not transparent.
QRect paintedBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 0) box |= QRect(x, y, 1, 1);
    }
    return box;
}

}  // namespace

QString keyTitle(kb::Model& model) {
    kb::Table t = model.KnowledgeBase.openTable(QStringLiteral("Parametres"));
    if (!t.isValid() || !t.setIndex(QStringLiteral("PrimaryKey")) ||
        !t.seek(QStringLiteral("Titre")))
        return QString();
    return t.field(QStringLiteral("Etat")).toString().simplified().left(200);
}

QByteArray keyIcon(const WebAssetsSource& source, const QString& title, int side) {
    QImage icon(side, side, QImage::Format_ARGB32);
    icon.fill(Qt::white);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    bool drawn = false;
    if (source.model && !source.drawingDir.isEmpty() && source.model->DrawingCount > 0) {
        QImage drawing(QSize(1200, 900), QImage::Format_ARGB32_Premultiplied);
        drawing.fill(Qt::transparent);
        QPainter layers(&drawing);
        for (const QString& path : unconditionalPictures(*source.model)) {
            const QString file = platform::resolveInside(source.drawingDir, path);
            if (file.isEmpty()) continue;
            QString why;
            const platform::Picture picture = platform::Picture::load(file, &why);
            const QImage layer = picture.isNull() ? QImage() : picture.render(drawing.size());
            if (!layer.isNull()) layers.drawImage(0, 0, layer);
        }
        layers.end();
        // The organism itself, as large as the square holds with a small margin.
        const QRect box = paintedBox(drawing);
        if (!box.isEmpty()) {
            const QSize fitted = box.size().scaled(QSize(side, side) * 0.9, Qt::KeepAspectRatio);
            painter.drawImage(
                QRect(QPoint((side - fitted.width()) / 2, (side - fitted.height()) / 2), fitted),
                drawing, box);
            drawn = true;
        }
    }
    if (!drawn) {
        painter.fillRect(icon.rect(), QColor(0x1d, 0x5f, 0x86));
        const QString letter = title.trimmed().left(1).toUpper();
        QFont font = painter.font();
        font.setPixelSize(side * 3 / 5);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(icon.rect(), Qt::AlignCenter,
                         letter.isEmpty() ? QStringLiteral("V") : letter);
    }
    painter.end();
    return pngOf(icon);
}

bool writeOfflineFiles(const QString& site, const QString& title, QString* error) {
    const QString name = title.isEmpty() ? QStringLiteral("Vireka") : title;
    QJsonArray icons;
    for (const int side : {192, 512})
        icons.append(QJsonObject{{"src", QStringLiteral("media/icon-%1.png").arg(side)},
                                 {"sizes", QStringLiteral("%1x%1").arg(side)},
                                 {"type", "image/png"},
                                 {"purpose", "any"}});
    const QJsonObject manifest{{"name", name},
                               {"short_name", name.left(24)},
                               {"start_url", "index.html"},
                               {"scope", "./"},
                               {"display", "standalone"},
                               {"background_color", "#fbfaf6"},
                               {"theme_color", "#1d5f86"},
                               {"icons", icons}};
    if (!platform::writeStagedFile(site + QStringLiteral("/manifest.webmanifest"),
                                   QJsonDocument(manifest).toJson(QJsonDocument::Indented), error))
        return false;

    // Every file of the site, in a stable order, and a version that changes with any byte.
    QStringList files;
    QDirIterator it(site, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next().mid(site.size() + 1);
    files.removeAll(QStringLiteral("sw.js"));
    std::sort(files.begin(), files.end());
    // BLAKE2b: as sure as SHA-256 to change with any byte, and about three times as fast
    // over the tens of megabytes of a site.
    QCryptographicHash version(QCryptographicHash::Blake2b_256);
    QJsonArray list;
    for (const QString& relative : files) {
        QFile file(site + '/' + relative);
        if (!file.open(QIODevice::ReadOnly))
            return fail(error, QStringLiteral("cannot read ") + file.fileName());
        version.addData(relative.toUtf8());
        version.addData(QByteArrayView("\0", 1));
        if (!version.addData(&file))
            return fail(error, QStringLiteral("cannot read ") + file.fileName());
        // Addresses relative to the worker, each part percent-encoded.
        list.append(QString::fromLatin1(QUrl::toPercentEncoding(relative, "/")));
    }
    QFile worker(QStringLiteral(":/web/player/serviceworker.js"));
    if (!worker.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("the tool lacks the player's serviceworker.js"));
    const QByteArray script =
        QByteArrayLiteral(
            "// Made by vireka-kb export web: the files of this site and its version.\n"
            "const SITE_VERSION = \"") +
        version.result().toHex().left(16) + QByteArrayLiteral("\";\nconst SITE_FILES = ") +
        QJsonDocument(list).toJson(QJsonDocument::Compact) + QByteArrayLiteral(";\n") +
        worker.readAll();
    return platform::writeStagedFile(site + QStringLiteral("/sw.js"), script, error);
}

}  // namespace authoring
