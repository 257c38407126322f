#include "platform/picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <optional>

#include "platform/wmfplayer.h"

namespace platform {

struct Picture::Data {
    std::optional<WmfPlayer> wmf;
    std::shared_ptr<QSvgRenderer> svg;  // render() is not const, the drawing it holds is
    QImage image;
};

namespace {

bool looksLikeSvg(const QByteArray& data) {
    const QByteArray head = data.left(1024);
    return head.contains("<svg") || (head.startsWith("\x1f\x8b"));  // plain or gzipped
}

QString describe(const QString& name) {
    return name.isEmpty() ? QStringLiteral("picture") : name;
}

}  // namespace

Picture Picture::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists()) {
        if (error) *error = QStringLiteral("picture file not found: %1").arg(path);
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return {};
    }
    return fromData(file.readAll(), path, error);
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
    } else if (looksLikeSvg(bytes)) {
        auto renderer = std::make_shared<QSvgRenderer>(bytes);
        if (!renderer->isValid()) return fail(QStringLiteral("unreadable SVG drawing"));
        data->svg = std::move(renderer);
    } else {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        data->image = reader.read();
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
    QImage image(size, QImage::Format_ARGB32);
    if (image.isNull()) return image;
    image.fill(background);
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), size));
    return image;
}

}  // namespace platform
