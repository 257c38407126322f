#include "platform/picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <optional>

#include "platform/boundedfile.h"
#include "platform/wmfplayer.h"
#include "platform/xmlentities.h"

#include <zlib.h>

namespace platform {

struct Picture::Data {
    std::optional<WmfPlayer> wmf;
    std::shared_ptr<QSvgRenderer> svg;  // render() is not const, the drawing it holds is
    QImage image;
};

namespace {

// Limits that keep a hostile picture from exhausting memory: the file read, a compressed
// drawing once expanded, and the pixels of any picture, decoded or rendered.
constexpr qint64 MaxFileBytes = 64 << 20;
constexpr qint64 MaxExpandedBytes = 16 << 20;
constexpr qint64 MaxPixels = 8192LL * 8192;
constexpr int MaxSide = 32768;

bool isGzip(const QByteArray& data) {
    return data.startsWith("\x1f\x8b");
}

bool looksLikeSvg(const QByteArray& data) {
    return data.left(1024).contains("<svg");
}

// A drawing the image readers would take for SVG though "<svg" comes late (after a long
// prologue): it must not reach Qt's own SVG reader, which expands it without a bound.
bool sniffedSvg(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader::imageFormat(&buffer).startsWith("svg");
}

bool sizeAllowed(qint64 width, qint64 height) {
    return width <= MaxSide && height <= MaxSide && width * height <= MaxPixels;
}

// A gzip stream expanded up to MaxExpandedBytes; nothing when it is longer or damaged.
std::optional<QByteArray> gunzip(const QByteArray& data, QString* why) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return (*why = QStringLiteral("zlib"), std::nullopt);
    QByteArray out;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (out.size() >= MaxExpandedBytes) {
            *why = QStringLiteral("compressed drawing expands past %1 bytes").arg(MaxExpandedBytes);
            break;
        }
        const qsizetype done = out.size();
        out.resize(std::min<qsizetype>(done + 65536, MaxExpandedBytes));
        z.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        z.avail_out = uInt(out.size() - done);
        rc = inflate(&z, Z_NO_FLUSH);
        out.resize(out.size() - qsizetype(z.avail_out));
    }
    inflateEnd(&z);
    if (rc == Z_STREAM_END) return out;
    if (why->isEmpty()) *why = QStringLiteral("damaged compressed drawing");
    return std::nullopt;
}

QString tooLarge(QSizeF size) {
    return QStringLiteral("picture of %1 x %2 pixels is too large")
        .arg(qint64(size.width()))
        .arg(qint64(size.height()));
}

QString describe(const QString& name) {
    return name.isEmpty() ? QStringLiteral("picture") : name;
}

}  // namespace

Picture Picture::load(const QString& path, QString* error, QByteArray* read) {
    QByteArray bytes;
    const BoundedFile::Result r = BoundedFile::read(path, MaxFileBytes, &bytes);
    if (r.status == BoundedFile::Status::Missing) {
        if (error) *error = QStringLiteral("picture file not found: %1").arg(path);
        return {};
    }
    if (!r.ok()) {
        if (error) *error = QStringLiteral("cannot open %1").arg(r.errorString);
        return {};
    }
    Picture picture = fromData(bytes, path, error);
    if (read) *read = std::move(bytes);
    return picture;
}

Picture Picture::fromData(const QByteArray& bytes, const QString& name, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("%1: %2").arg(describe(name), why);
        return Picture();
    };
    if (bytes.isEmpty()) return fail(QStringLiteral("file is empty"));
    auto data = std::make_shared<Data>();
    if (WmfPlayer::looksLikeWmf(bytes)) {
        WmfPlayer player(bytes);
        if (!player.isValid() || !player.isComplete()) return fail(player.errorString());
        data->wmf.emplace(std::move(player));
    } else if (isGzip(bytes) || looksLikeSvg(bytes) || sniffedSvg(bytes)) {
        // Expanded here, under a limit, so that the renderer never inflates it unbounded.
        QString why;
        const auto plain = isGzip(bytes) ? gunzip(bytes, &why) : std::optional(bytes);
        if (!plain) return fail(why);
        if (!looksLikeSvg(*plain) && !sniffedSvg(*plain))
            return fail(QStringLiteral("unreadable SVG drawing"));
        if (QString entities; !xmlentities::withinBounds(*plain, entities)) return fail(entities);
        auto renderer = std::make_shared<QSvgRenderer>(*plain);
        if (!renderer->isValid()) return fail(QStringLiteral("unreadable SVG drawing"));
        const QSize size = renderer->defaultSize();
        if (!sizeAllowed(size.width(), size.height())) return fail(tooLarge(size));
        data->svg = std::move(renderer);
    } else {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        // Qt's own limit (128 MB) would refuse pictures well inside ours; it is raised to
        // what our largest picture takes at 8 bytes a pixel (16-bit channels), which the
        // size check below keeps every image under.
        QImageReader::setAllocationLimit(int(MaxPixels * 8 >> 20));
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        // The size a header claims is checked before a single pixel is allocated.
        const QSize claimed = reader.size();
        if (claimed.isValid() && !sizeAllowed(claimed.width(), claimed.height()))
            return fail(tooLarge(claimed));
        data->image = reader.read();
        if (!sizeAllowed(data->image.width(), data->image.height()))
            return fail(tooLarge(data->image.size()));
        if (data->image.isNull())
            return fail(
                QStringLiteral("not a picture that can be read (%1)").arg(reader.errorString()));
    }
    Picture picture;
    picture.m_data = std::move(data);
    return picture;
}

bool Picture::isVector() const {
    return m_data && (m_data->wmf || m_data->svg);
}

QSizeF Picture::naturalSize() const {
    if (!m_data) return {};
    if (m_data->wmf) return m_data->wmf->naturalSize();
    if (m_data->svg) return m_data->svg->defaultSize();
    return m_data->image.size();
}

void Picture::paint(QPainter& painter, const QRectF& target) const {
    if (!m_data || target.isEmpty()) return;
    if (m_data->wmf) {
        m_data->wmf->play(painter, target);
    } else if (m_data->svg) {
        m_data->svg->render(&painter, target);
    } else {
        painter.drawImage(target, m_data->image);
    }
}

QImage Picture::render(QSize size, QColor background) const {
    if (!sizeAllowed(size.width(), size.height())) return {};
    QImage image(size, QImage::Format_ARGB32);
    if (image.isNull()) return image;
    image.fill(background);
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), size));
    return image;
}

}  // namespace platform
