#include "authoring/webexport/webdocuments.h"

#include "authoring/webexport/htmlsanitizer.h"
#include "kb/model.h"
#include "platform/boundedfile.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/stagedfile.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

namespace authoring {

namespace {

constexpr qint64 MaxPage = 8 << 20;
constexpr qint64 MaxPicture = 64 << 20;

// What every published page says first: its encoding (the text is written anew in UTF-8),
// and that it may run nothing and fetch nothing but its own pictures and styles.
const QString PageHead = QStringLiteral(
    "<meta charset=\"utf-8\"><meta http-equiv=\"Content-Security-Policy\" content=\"script-src "
    "'none'; object-src 'none'; connect-src 'none'; frame-src 'none'; form-action 'none'; "
    "base-uri 'none'\">");

QString decodePage(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    // Pages written on Windows are taken as Latin-1, the subset Qt decodes without a codec.
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    return text;
}

QString withHead(const QString& html) {
    static const QRegularExpression head(QStringLiteral("<head>"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString out = html;
    const auto m = head.match(out);
    if (m.hasMatch()) return out.insert(m.capturedEnd(), PageHead);
    if (out.startsWith(QLatin1String("<!DOCTYPE html>"))) return out.insert(15, PageHead);
    return PageHead + out;
}

bool isShownAsIs(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "png" || suffix == "gif" || suffix == "jpg" || suffix == "jpeg";
}

bool isPage(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "html" || suffix == "htm";
}

}  // namespace

WebDocuments::WebDocuments(const WebAssetsSource& source, QString out)
    : source_(source), out_(std::move(out)) {}

QString WebDocuments::relativeInside(const QString& path) const {
    if (documents_.isEmpty()) return QString();
    const QString relative = QDir(documents_).relativeFilePath(path);
    if (relative.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(relative))
        return QString();
    return relative;
}

bool WebDocuments::writeOut(const QString& relative, const QByteArray& bytes) {
    const QString target = out_ + QStringLiteral("/docs/") + relative;
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        if (error_.isEmpty()) error_ = QStringLiteral("cannot create the folder of ") + target;
        return false;
    }
    QString error;
    if (!platform::writeStagedFile(target, bytes, &error)) {
        if (error_.isEmpty()) error_ = error;
        return false;
    }
    return true;
}

QString WebDocuments::publishPicture(const QString& path) {
    const QString relative = relativeInside(path);
    if (relative.isEmpty()) return QString();
    const QString written = isShownAsIs(path) ? relative : relative + QStringLiteral(".png");
    if (published_.contains(path)) return written;
    published_.insert(path);
    QByteArray bytes;
    if (isShownAsIs(path)) {
        // Copied as they are once their header says they are what their name says: page
        // pictures are large, and the browser decodes them anyway.
        const auto read = platform::BoundedFile::read(path, MaxPicture, &bytes);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QByteArray format = reader.format();
        if (!read.ok() || !(format == "png" || format == "gif" || format == "jpeg") ||
            !reader.size().isValid() || reader.size().width() > 32768 ||
            reader.size().height() > 32768) {
            notes_ << QStringLiteral("document picture %1 left out: %2")
                          .arg(relative, read.ok() ? QStringLiteral("not a picture browsers show")
                                                   : read.errorString);
            return QString();
        }
    } else {
        QString why;
        const platform::Picture picture = platform::Picture::load(path, &why);
        if (picture.isNull()) {
            notes_ << QStringLiteral("document picture %1 left out: %2").arg(relative, why);
            return QString();
        }
        QSize size = picture.naturalSize().toSize();
        if (size.isEmpty()) size = QSize(800, 600);
        const QImage image = picture.render(size.boundedTo(QSize(4096, 4096)), Qt::white);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (image.isNull() || !image.save(&buffer, "PNG")) return QString();
    }
    return writeOut(written, bytes) ? written : QString();
}

QString WebDocuments::mapLink(const QString& pageFolder, const QString& address, bool picture) {
    QString target = address;
    QString fragment;
    if (const qsizetype hash = target.indexOf(QLatin1Char('#')); hash >= 0) {
        fragment = target.mid(hash);
        target.truncate(hash);
    }
    if (const qsizetype query = target.indexOf(QLatin1Char('?')); query >= 0)
        target.truncate(query);
    target = QUrl::fromPercentEncoding(target.toUtf8());
    // Anything with a scheme (web, mail, script, file, data) or a rooted path leaves the site.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (target.isEmpty() || scheme.match(target).hasMatch() ||
        target.startsWith(QLatin1Char('/')) || target.startsWith(QLatin1Char('\\')))
        return QString();
    const QString relative = relativeInside(QDir::cleanPath(pageFolder + '/' + target));
    if (relative.isEmpty()) return QString();
    const QString path = platform::resolveInside(documents_, relative);
    if (path.isEmpty() || !QFileInfo(path).isFile()) return QString();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    QString written;
    if (!picture && isPage(canonical)) {
        if (!published_.contains(canonical)) queue_ << canonical;
        written = relativeInside(canonical);
    } else {
        written = publishPicture(canonical);
        fragment.clear();
    }
    if (written.isEmpty()) return QString();
    const QString from = relativeInside(pageFolder + QStringLiteral("/x"));
    return QDir(QFileInfo(QStringLiteral("/r/") + from).absolutePath())
               .relativeFilePath(QStringLiteral("/r/") + written) +
           fragment;
}

void WebDocuments::publishPage(const QString& path) {
    if (published_.contains(path)) return;
    published_.insert(path);
    QByteArray bytes;
    const auto read = platform::BoundedFile::read(path, MaxPage, &bytes);
    if (!read.ok()) {
        notes_ << read.errorString;
        return;
    }
    const QString folder = QFileInfo(path).absolutePath();
    HtmlSanitizer sanitizer([this, &folder](const QString& address, HtmlSanitizer::LinkKind kind) {
        return mapLink(folder, address, kind == HtmlSanitizer::LinkKind::Picture);
    });
    const QString html = withHead(sanitizer.sanitize(decodePage(bytes)));
    writeOut(relativeInside(path), html.toUtf8());
}

bool WebDocuments::write() {
    QJsonObject species;
    if (!source_.documentDir.isEmpty() && QDir(source_.documentDir).exists()) {
        documents_ = QDir(source_.documentDir).canonicalPath() + QLatin1Char('/');
        kb::Table flora = source_.model->FloraTable;
        static const QRegularExpression language(QStringLiteral("_([a-z]{2})\\.html?$"),
                                                 QRegularExpression::CaseInsensitiveOption);
        for (flora.moveFirst(); flora.isValid() && !flora.eof(); flora.moveNext()) {
            const QString code = flora.field(QStringLiteral("Code")).toString().toLower();
            if (code.isEmpty() || code.contains('/') || code.contains('\\') || code.contains(".."))
                continue;
            const QString folder = platform::resolveInside(documents_, code.left(1) + '/' + code);
            if (folder.isEmpty() || !QFileInfo(folder).isDir()) continue;
            QJsonObject pages;
            const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo& file : files) {
                const QString canonical = file.canonicalFilePath();
                if (!isPage(canonical) || relativeInside(canonical).isEmpty()) continue;
                queue_ << canonical;
                const auto m = language.match(file.fileName());
                if (m.hasMatch() && file.fileName().startsWith(code, Qt::CaseInsensitive))
                    pages.insert(m.captured(1).toLower(),
                                 QStringLiteral("docs/") + relativeInside(canonical));
            }
            if (!pages.isEmpty()) species.insert(code.toUpper(), pages);
        }
        while (!queue_.isEmpty()) publishPage(queue_.takeFirst());
    }
    QJsonObject errors;
    for (const QString& lang : {QStringLiteral("en"), QStringLiteral("es"), QStringLiteral("fr")}) {
        const QString name = QStringLiteral("error_%1.html").arg(lang);
        const QString path = platform::resolveInside(source_.dataDir, name);
        QByteArray bytes;
        if (path.isEmpty() || !platform::BoundedFile::read(path, MaxPage, &bytes).ok()) continue;
        // The error pages lie outside the documents: their links are not followed.
        HtmlSanitizer sanitizer([](const QString&, HtmlSanitizer::LinkKind) { return QString(); });
        const QString relative = QStringLiteral("error_%1.html").arg(lang);
        if (writeOut(relative, withHead(sanitizer.sanitize(decodePage(bytes))).toUtf8()))
            errors.insert(lang, QStringLiteral("docs/") + relative);
    }
    index_ = QJsonObject{{"species", species}, {"error", errors}};
    return error_.isEmpty();
}

}  // namespace authoring
