#include "authoring/webexport/webpictures.h"

#include "kb/model.h"
#include "platform/boundedfile.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/stagedfile.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QJsonArray>
#include <QSet>

namespace authoring {

namespace {

const QString Wmf = QStringLiteral("WMF");

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The picture a base names in one of its folders, or a null one with the reason.
platform::Picture pictureIn(const QString& folder, const QString& name, QString* why) {
    if (folder.isEmpty() || name.isEmpty()) {
        *why = QStringLiteral("no file named");
        return {};
    }
    const QString path = platform::resolveInside(folder, name);
    if (path.isEmpty()) {
        *why = QStringLiteral("the name leads out of its folder");
        return {};
    }
    return platform::Picture::load(path, why);
}

// The PNG signature, then the header chunk.
bool isPng(const QByteArray& bytes) {
    return bytes.startsWith("\x89PNG\r\n\x1a\n");
}

// Whether the file's own bytes are what drawing it on white at `size` would give.
bool isOpaquePng(const QByteArray& bytes, const platform::Picture& picture, QSize size) {
    if (!isPng(bytes) || picture.isVector()) return false;
    if (picture.naturalSize().toSize() != size) return false;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The header says whether the pixels carry alpha (an alpha channel or a transparent
    // colour); only opaque ones are the same on white.
    const QImage::Format format = QImageReader(&buffer, "png").imageFormat();
    return format != QImage::Format_Invalid && !QImage(1, 1, format).hasAlphaChannel();
}

// The size of an opaque PNG file that fits `box`, from its header; invalid for any other
// file. Only for a file already read whole without fault: its pixels are not looked at.
QSize fittingOpaquePng(const QString& path, QSize box, QByteArray* bytes) {
    constexpr qint64 mostBytes = 64 << 20;  // as much as a picture file may hold
    if (!platform::BoundedFile::read(path, mostBytes, bytes).ok() || !isPng(*bytes)) return {};
    QBuffer buffer;
    buffer.setData(*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    const QImage::Format format = reader.imageFormat();
    if (size.isEmpty() || size.width() > box.width() || size.height() > box.height() ||
        format == QImage::Format_Invalid || QImage(1, 1, format).hasAlphaChannel())
        return {};
    return size;
}

// A picture's own size, kept within the box and never empty.
QSize fittedSize(const platform::Picture& picture, QSize box) {
    QSize size = picture.naturalSize().toSize();
    if (size.isEmpty()) size = box;
    if (size.width() > box.width() || size.height() > box.height())
        size = size.scaled(box, Qt::KeepAspectRatio);
    return size.expandedTo(QSize(1, 1));
}

QString drawingFolder(int drawing) {
    return QStringLiteral("%1").arg(drawing, 2, 10, QLatin1Char('0'));
}

QJsonArray sizeArray(QSize size) {
    return QJsonArray{size.width(), size.height()};
}

}  // namespace

WebPictures::WebPictures(const WebAssetsSource& source, QString out)
    : source_(source), out_(std::move(out)) {}

QStringList WebPictures::variantSuffixes() const {
    // Layers after the first take the suffix that the first layer's variant gives; every
    // variant of the first layer may be the one shown.
    // A first layer of another kind keeps the suffix empty.
    QStringList suffixes;
    bool keepsEmpty = true;
    kb::Table t = source_.model->HierarchyTable;
    if (!t.isValid()) return {QString()};
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        if (t.field(QStringLiteral("Robot_Num")).toInt() != 0) continue;
        const QString name = t.field(QStringLiteral("Nom")).toString();
        if (name.right(3) != Wmf) continue;
        keepsEmpty = false;
        if (!suffixes.contains(name.right(6))) suffixes << name.right(6);
    }
    if (keepsEmpty) suffixes.prepend(QString());
    return suffixes;
}

QJsonObject WebPictures::drawing() {
    QJsonObject layers;
    if (source_.drawingDir.isEmpty() || source_.model->DrawingCount <= 0)
        return QJsonObject{{"size", sizeArray(LayerSize)}, {"layers", layers}};
    const QStringList suffixes = variantSuffixes();
    QStringList paths;
    kb::Table t = source_.model->HierarchyTable;
    if (t.isValid()) {
        for (t.moveFirst(); !t.eof(); t.moveNext()) {
            const QString name = t.field(QStringLiteral("Nom")).toString();
            const QString folder = drawingFolder(t.field(QStringLiteral("Robot_Num")).toInt());
            if (name.right(3) == Wmf)
                paths << folder + '/' + name;
            else
                for (const QString& s : suffixes) paths << folder + '/' + name + s;
        }
    }
    kb::Table marks = source_.model->KnowledgeBase.openTable(QStringLiteral("Contradictions"));
    if (marks.isValid()) {
        for (marks.moveFirst(); !marks.eof(); marks.moveNext()) {
            if (marks.field(QStringLiteral("Bouton")).toInt() != -1) continue;
            const QString popup = marks.field(QStringLiteral("Popup")).toString();
            for (const QString& s : suffixes) paths << QStringLiteral("CONTRA/") + popup + s;
        }
    }
    QSet<QString> done;
    for (const QString& path : paths) {
        const QString key = path.toUpper();
        if (done.contains(key)) continue;
        done.insert(key);
        QString why;
        const platform::Picture picture = pictureIn(source_.drawingDir, path, &why);
        if (picture.isNull()) {
            notes_ << QStringLiteral("drawing layer %1 left out: %2").arg(path, why);
            continue;
        }
        const QImage image = picture.render(LayerSize, Qt::transparent);
        if (image.isNull()) {
            notes_ << QStringLiteral("drawing layer %1 left out: it cannot be drawn").arg(path);
            continue;
        }
        layers.insert(key, QStringLiteral("data:image/png;base64,") +
                               QString::fromLatin1(pngBytes(image).toBase64()));
    }
    return QJsonObject{{"size", sizeArray(LayerSize)}, {"layers", layers}};
}

// The PNG bytes of the picture at `path` fitted to the box, and their size: the file's own
// when it is already what would be written (opaque, within the box), else the picture drawn
// on white and encoded. False with result.why when it cannot be read or drawn.
bool WebPictures::convertedPng(const QString& path, QSize maxSize, Converted& result, QSize& size,
                               QByteArray& png) {
    QByteArray bytes;
    const platform::Picture picture = platform::Picture::load(path, &result.why, &bytes);
    if (picture.isNull()) return false;
    size = fittedSize(picture, maxSize);
    if (isOpaquePng(bytes, picture, size)) {
        png = std::move(bytes);
        return true;
    }
    const QImage image = picture.render(size, Qt::white);
    if (image.isNull()) {
        result.why = QStringLiteral("it cannot be drawn");
        return false;
    }
    png = pngBytes(image);
    return true;
}

// Writes the picture's PNG at `relative`. A file the check has just read whole is not
// decoded again when its bytes are copied as they are.
WebPictures::Converted WebPictures::convert(const QString& path, const QString& canonical,
                                            const QString& relative, QSize maxSize) {
    Converted result;
    QByteArray bytes;
    QSize size;
    QByteArray png;
    if (source_.picturesRead.contains(canonical) &&
        (size = fittingOpaquePng(path, maxSize, &bytes)).isValid())
        png = std::move(bytes);
    else if (!convertedPng(path, maxSize, result, size, png))
        return result;
    const QString target = out_ + '/' + relative;
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        if (error_.isEmpty()) error_ = QStringLiteral("cannot create the folder of ") + target;
        return result;
    }
    QString error;
    if (!platform::writeStagedFile(target, png, &error)) {
        if (error_.isEmpty()) error_ = error;
        return result;
    }
    result.relative = relative;
    result.size = size;
    return result;
}

QString WebPictures::writePng(const QString& folder, const QString& name, const QString& relative,
                              QSize maxSize, QSize* written) {
    QString path;
    Converted converted;
    if (folder.isEmpty() || name.isEmpty()) {
        converted.why = QStringLiteral("no file named");
    } else if ((path = platform::resolveInside(folder, name)).isEmpty()) {
        converted.why = QStringLiteral("the name leads out of its folder");
    } else {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        const QString key = QStringLiteral("%1x%2 %3")
                                .arg(maxSize.width())
                                .arg(maxSize.height())
                                .arg(canonical.isEmpty() ? path : canonical);
        const auto known = converted_.constFind(key);
        if (known != converted_.cend() && (known->why.isEmpty() || canonical.isEmpty())) {
            converted = *known;
        } else {
            converted = convert(path, canonical, relative, maxSize);
            if (!canonical.isEmpty() && (!converted.relative.isEmpty() || !error_.isEmpty()))
                converted_.insert(key, converted);
        }
    }
    if (converted.relative.isEmpty()) {
        if (!converted.why.isEmpty())
            notes_ << QStringLiteral("picture %1 left out: %2").arg(name, converted.why);
        return QString();
    }
    if (written) *written = converted.size;
    return converted.relative;
}

QJsonObject WebPictures::choices() {
    QJsonObject result;
    kb::Table t = source_.model->ObjectTable;
    if (!t.isValid()) return result;
    int n = 0;
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        const QString key = t.field(QStringLiteral("Objet")).toString().toUpper();
        const QString popup = t.field(QStringLiteral("Popup")).toString();
        QSize size;
        const QString fresh = QStringLiteral("media/choices/%1.png").arg(n);
        const QString file =
            writePng(source_.descriptorDir, popup, fresh, QSize(2400, 1800), &size);
        if (file == fresh) ++n;  // a file shared with an earlier question keeps its name
        if (!file.isEmpty())
            result.insert(key, QJsonObject{{"file", file}, {"size", sizeArray(size)}});
    }
    return result;
}

QJsonObject WebPictures::toolbars() {
    QJsonObject result;
    const struct {
        const char* table;
        const char* name;
        const char* prefix;
        int count;
    } bars[] = {{"But_Deter", "deter", "d", source_.model->DeterButtonCount},
                {"But_Quest", "question", "q", source_.model->QuestionButtonCount}};
    for (const auto& bar : bars) {
        QJsonArray buttons;
        kb::Table t = source_.model->KnowledgeBase.openTable(QLatin1String(bar.table));
        const bool usable = t.isValid() && t.setIndex(QStringLiteral("PrimaryKey"));
        for (int k = 1; k <= bar.count; ++k) {
            if (!usable || !t.seek(k)) {
                buttons.append(QJsonValue());
                continue;
            }
            const auto text = [&t](const char* field) {
                return t.field(QLatin1String(field)).toString();
            };
            const QString picture =
                writePng(source_.dataDir, text("File"),
                         QStringLiteral("media/buttons/%1%2.png").arg(bar.prefix).arg(k),
                         QSize(48, 48), nullptr);
            buttons.append(
                QJsonObject{{"caption", text("Caption")},
                            {"tip", text("TipText")},
                            {"key", t.hasField(QStringLiteral("Key")) ? text("Key") : ""},
                            {"picture", picture}});
        }
        result.insert(QLatin1String(bar.name), buttons);
    }
    return result;
}

QJsonObject WebPictures::contradictionIcons() {
    QJsonObject result;
    kb::Table t = source_.model->KnowledgeBase.openTable(QStringLiteral("Contradictions"));
    if (!t.isValid() || source_.drawingDir.isEmpty()) return result;
    int n = 0;
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        if (t.field(QStringLiteral("Bouton")).toInt() <= 0) continue;
        const QString popup = t.field(QStringLiteral("Popup")).toString();
        if (result.contains(popup.toUpper())) continue;
        const QString file =
            writePng(source_.drawingDir, QStringLiteral("CONTRA/") + popup + QStringLiteral(".ico"),
                     QStringLiteral("media/contra/%1.png").arg(n++), QSize(48, 48), nullptr);
        if (!file.isEmpty()) result.insert(popup.toUpper(), file);
    }
    return result;
}

}  // namespace authoring
