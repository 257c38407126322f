#include "authoring/sddexport/sddstatepictures.h"

#include "platform/picture.h"

#include <QBuffer>
#include <QImage>

namespace authoring {

namespace {

bool isFlat(const QImage& cell) {
    const QRgb first = cell.pixel(0, 0);
    for (int y = 0; y < cell.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(cell.constScanLine(y));
        for (int x = 0; x < cell.width(); ++x)
            if (line[x] != first) return false;
    }
    return true;
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? bytes : QByteArray();
}

}  // namespace

QList<SddStatePicture> cutStatePictures(const SddSourceBase& base) {
    QList<SddStatePicture> out;
    for (const SddQuestion& q : base.questions) {
        if (q.picture.isEmpty() || q.measured()) continue;
        const platform::Picture picture = platform::Picture::load(q.picture);
        if (picture.isNull()) continue;
        const QImage whole = picture.render(picture.naturalSize().toSize(), Qt::white)
                                 .convertToFormat(QImage::Format_ARGB32);
        if (whole.isNull()) continue;
        const int w = whole.width() / q.columns, h = whole.height() / q.rows;
        if (w < 1 || h < 1) continue;
        for (qsizetype k = 0; k < q.states.size() && k < qsizetype(q.rows) * q.columns; ++k) {
            const int row = int(k / q.columns), column = int(k % q.columns);
            const QImage cell =
                whole.copy(column * whole.width() / q.columns, row * whole.height() / q.rows, w, h);
            if (cell.isNull() || isFlat(cell)) continue;
            const int state = q.states[k].number;
            const QByteArray bytes = png(cell);
            if (!bytes.isEmpty())
                out << SddStatePicture{state, QStringLiteral("state%1.png").arg(state), bytes};
        }
    }
    return out;
}

}  // namespace authoring
