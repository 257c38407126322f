#include "wmfsamples.h"

#include <QMap>
#include <QPainter>

#include "platform/wmfformat.h"
#include "platform/wmfplayer.h"
#include "platform/wmfwriter.h"

namespace wmftest {

namespace {

void word(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void dword(QByteArray& out, quint32 v) {
    word(out, int(v & 0xFFFF));
    word(out, int(v >> 16));
}

QByteArray header(qsizetype recordBytes, int objects) {
    QByteArray h;
    word(h, 1);
    word(h, 9);
    word(h, 0x0300);
    dword(h, quint32(9 + recordBytes / 2 + 3));
    word(h, objects);
    dword(h, 0);
    word(h, 0);
    return h;
}

}  // namespace

RawWmf& RawWmf::rec(quint16 function, const QList<int>& words) {
    QByteArray params;
    for (const int w : words) word(params, w);
    return recBytes(function, params);
}

RawWmf& RawWmf::recBytes(quint16 function, const QByteArray& params) {
    QByteArray padded = params;
    if (padded.size() % 2) padded.append('\0');
    dword(m_records, quint32(3 + padded.size() / 2));
    word(m_records, function);
    m_records.append(padded);
    return *this;
}

QList<int> RawWmf::colour(QColor c) {
    return {c.red() | c.green() << 8, c.blue()};
}

QByteArray RawWmf::standard(int objects) const {
    QByteArray out = header(m_records.size(), objects) + m_records;
    dword(out, 3);
    word(out, 0);
    return out;
}

QByteArray RawWmf::placeable(QRect box, int unitsPerInch, int objects) const {
    QByteArray out;
    dword(out, platform::wmf::PlaceableKey);
    const int words[] = {
        0, box.left(), box.top(), box.left() + box.width(), box.top() + box.height(), unitsPerInch,
        0, 0};
    quint16 checksum = 0xCDD7 ^ 0x9AC6;
    for (const int w : words) {
        word(out, w);
        checksum ^= quint16(w);
    }
    word(out, checksum);
    return out + standard(objects);
}

QByteArray sampleDrawing() {
    platform::WmfWriter w(QSize(1000, 800));
    w.setBackgroundTransparent();
    const int pen = w.createPen(QColor(10, 20, 30), 8);
    const int red = w.createSolidBrush(QColor(200, 0, 0));
    const int green = w.createSolidBrush(QColor(0, 160, 0));
    w.selectObject(pen);
    w.selectObject(red);
    w.rectangle(QRect(50, 50, 200, 150));
    w.saveDc();
    w.selectObject(green);
    w.ellipse(QRect(300, 50, 200, 150));
    w.polygon(QPolygon({QPoint(600, 50), QPoint(800, 50), QPoint(700, 200)}));
    w.restoreDc();
    w.roundRect(QRect(50, 300, 200, 150), 40, 40);
    w.pie(QRect(300, 300, 200, 150), QPoint(500, 375), QPoint(400, 300));
    w.chord(QRect(600, 300, 200, 150), QPoint(800, 375), QPoint(600, 375));
    w.arc(QRect(50, 500, 200, 150), QPoint(250, 575), QPoint(50, 575));
    w.polyline(QPolygon({QPoint(300, 500), QPoint(400, 650), QPoint(500, 500)}));
    w.polyPolygon({QPolygon(QRect(600, 500, 200, 200)), QPolygon(QRect(650, 550, 100, 100))});
    const int font = w.createFont(QStringLiteral("DejaVu Sans"), 40, 700);
    w.selectObject(font);
    w.setTextColour(QColor(0, 0, 255));
    w.textOut(QPoint(50, 720), QStringLiteral("Élytres"));
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.setPixel(0, 0, qRgb(255, 255, 0));
    tile.setPixel(1, 0, qRgb(0, 255, 255));
    tile.setPixel(0, 1, qRgb(255, 0, 255));
    tile.setPixel(1, 1, qRgb(128, 128, 128));
    w.stretchImage(QRect(850, 650, 100, 100), tile);
    w.deleteObject(green);
    w.deleteObject(red);
    return w.data();
}

QImage playInto(const QByteArray& wmf, QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    platform::WmfPlayer(wmf).play(painter, QRectF(QPointF(0, 0), size));
    return image;
}

QMap<QRgb, int> colourCounts(const QImage& image) {
    QMap<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    }
    return counts;
}

}  // namespace wmftest
