#include "platform/wmfwriter.h"

#include <QImage>
#include <QSaveFile>
#include <QtEndian>

#include "platform/wmfdib.h"
#include "platform/wmfformat.h"

namespace platform {

namespace {

constexpr int MaxPoints = 32767;

bool fits16(int v) {
    return v >= INT16_MIN && v <= INT16_MAX;
}

void appendWord(QByteArray& out, quint16 v) {
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void appendDword(QByteArray& out, quint32 v) {
    appendWord(out, quint16(v & 0xFFFF));
    appendWord(out, quint16(v >> 16));
}

quint32 colourRef(const QColor& c) {
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

// Rectangles go out as bottom, right, top, left (records list their parameters backwards).
QList<qint16> rectParams(const QRect& r) {
    return {qint16(r.y() + r.height()), qint16(r.x() + r.width()), qint16(r.y()), qint16(r.x())};
}

}  // namespace

WmfWriter::WmfWriter(QSize logicalSize, int unitsPerInch)
    : m_size(logicalSize), m_unitsPerInch(unitsPerInch) {
    if (!fits16(m_size.width()) || !fits16(m_size.height()) || m_size.isEmpty()) {
        fail(QStringLiteral("logical size %1 x %2 out of range")
                 .arg(m_size.width())
                 .arg(m_size.height()));
        m_size = QSize(1, 1);
    }
    if (m_unitsPerInch <= 0 || m_unitsPerInch > 65535) m_unitsPerInch = 1440;
    record(wmf::SetMapMode, {qint16(wmf::MapAnisotropic)});
    record(wmf::SetWindowOrg, {0, 0});
    record(wmf::SetWindowExt, {qint16(m_size.height()), qint16(m_size.width())});
}

void WmfWriter::fail(const QString& message) {
    if (m_error.isEmpty()) m_error = message;
}

void WmfWriter::recordBytes(quint16 function, const QByteArray& params) {
    QByteArray padded = params;
    if (padded.size() % 2) padded.append('\0');
    const quint32 words = 3 + quint32(padded.size() / 2);
    appendDword(m_records, words);
    appendWord(m_records, function);
    m_records.append(padded);
    m_maxRecordWords = std::max(m_maxRecordWords, words);
}

void WmfWriter::record(quint16 function, const QList<qint16>& params) {
    QByteArray bytes;
    for (const qint16 p : params) appendWord(bytes, quint16(p));
    recordBytes(function, bytes);
}

int WmfWriter::takeSlot() {
    int slot = int(m_slots.indexOf(false));
    if (slot < 0) {
        slot = int(m_slots.size());
        m_slots.append(true);
    } else {
        m_slots[slot] = true;
    }
    m_objectCount = std::max(m_objectCount, int(m_slots.size()));
    return slot;
}

int WmfWriter::createSolidBrush(const QColor& colour) {
    QByteArray p;
    appendWord(p, wmf::BsSolid);
    appendDword(p, colourRef(colour));
    appendWord(p, 0);
    recordBytes(wmf::CreateBrushIndirect, p);
    return takeSlot();
}

int WmfWriter::createNullBrush() {
    QByteArray p;
    appendWord(p, wmf::BsNull);
    appendDword(p, 0);
    appendWord(p, 0);
    recordBytes(wmf::CreateBrushIndirect, p);
    return takeSlot();
}

int WmfWriter::createPen(const QColor& colour, int width, PenStyle style) {
    QByteArray p;
    appendWord(p, quint16(style));
    appendWord(p, quint16(std::clamp(width, 0, int(INT16_MAX))));
    appendWord(p, 0);
    appendDword(p, colourRef(colour));
    recordBytes(wmf::CreatePenIndirect, p);
    return takeSlot();
}

int WmfWriter::createNullPen() {
    return createPen(Qt::black, 0, PenStyle::Null);
}

int WmfWriter::createFont(const QString& faceName, int height, int weight, bool italic) {
    QByteArray p;
    appendWord(p, quint16(qint16(-std::clamp(height, 0, int(INT16_MAX)))));
    for (int i = 0; i < 3; ++i) appendWord(p, 0);  // width, escapement, orientation
    appendWord(p, quint16(std::clamp(weight, 0, 1000)));
    p.append(char(italic ? 1 : 0));
    p.append(QByteArray(3, '\0'));  // underline, strike-out, ANSI character set
    p.append(QByteArray(2, '\0'));  // precisions
    p.append(char(wmf::NonAntialiasedQuality));
    p.append('\0');
    p.append(wmf::encodeText(faceName).left(31));
    p.append('\0');
    recordBytes(wmf::CreateFontIndirect, p);
    return takeSlot();
}

void WmfWriter::selectObject(int slot) {
    record(wmf::SelectObject, {qint16(slot)});
}

void WmfWriter::deleteObject(int slot) {
    record(wmf::DeleteObject, {qint16(slot)});
    if (slot >= 0 && slot < m_slots.size()) m_slots[slot] = false;
}

void WmfWriter::setBackgroundTransparent() {
    record(wmf::SetBkMode, {qint16(wmf::BkTransparent)});
}

void WmfWriter::setTextColour(const QColor& colour) {
    QByteArray p;
    appendDword(p, colourRef(colour));
    recordBytes(wmf::SetTextColor, p);
}

void WmfWriter::setPolyFillWinding(bool winding) {
    record(wmf::SetPolyFillMode, {qint16(winding ? wmf::PolyFillWinding : wmf::PolyFillAlternate)});
}

void WmfWriter::saveDc() {
    record(wmf::SaveDc, {});
}

void WmfWriter::restoreDc() {
    record(wmf::RestoreDc, {-1});
}

bool WmfWriter::checkCoordinates(const QRect& rect) {
    if (fits16(rect.x()) && fits16(rect.y()) && fits16(rect.x() + rect.width()) &&
        fits16(rect.y() + rect.height()))
        return true;
    fail(QStringLiteral("coordinates out of range"));
    return false;
}

bool WmfWriter::appendPoints(QByteArray& out, const QPolygon& points) {
    if (points.size() > MaxPoints) {
        fail(QStringLiteral("too many points in one figure (%1)").arg(points.size()));
        return false;
    }
    for (const QPoint& pt : points) {
        if (!fits16(pt.x()) || !fits16(pt.y())) {
            fail(QStringLiteral("coordinates out of range"));
            return false;
        }
        appendWord(out, quint16(qint16(pt.x())));
        appendWord(out, quint16(qint16(pt.y())));
    }
    return true;
}

void WmfWriter::polygon(const QPolygon& points) {
    QByteArray p;
    appendWord(p, quint16(points.size()));
    if (appendPoints(p, points)) recordBytes(wmf::Polygon, p);
}

void WmfWriter::polyline(const QPolygon& points) {
    QByteArray p;
    appendWord(p, quint16(points.size()));
    if (appendPoints(p, points)) recordBytes(wmf::Polyline, p);
}

void WmfWriter::polyPolygon(const QList<QPolygon>& polygons) {
    if (polygons.size() > MaxPoints) {
        fail(QStringLiteral("too many polygons in one figure"));
        return;
    }
    QByteArray p;
    appendWord(p, quint16(polygons.size()));
    qsizetype total = 0;
    for (const QPolygon& poly : polygons) {
        appendWord(p, quint16(std::min<qsizetype>(poly.size(), MaxPoints)));
        total += poly.size();
    }
    if (total > MaxPoints) {
        fail(QStringLiteral("too many points in one figure (%1)").arg(total));
        return;
    }
    for (const QPolygon& poly : polygons) {
        if (!appendPoints(p, poly)) return;
    }
    recordBytes(wmf::PolyPolygon, p);
}

void WmfWriter::rectangle(const QRect& rect) {
    if (checkCoordinates(rect)) record(wmf::Rectangle, rectParams(rect));
}

void WmfWriter::ellipse(const QRect& rect) {
    if (checkCoordinates(rect)) record(wmf::Ellipse, rectParams(rect));
}

void WmfWriter::roundRect(const QRect& rect, int cornerWidth, int cornerHeight) {
    if (!checkCoordinates(rect) || !fits16(cornerWidth) || !fits16(cornerHeight)) return;
    record(wmf::RoundRect,
           QList<qint16>{qint16(cornerHeight), qint16(cornerWidth)} + rectParams(rect));
}

void WmfWriter::arc(const QRect& rect, QPoint start, QPoint end) {
    if (!checkCoordinates(rect) || !checkCoordinates(QRect(start, end))) return;
    record(wmf::Arc,
           QList<qint16>{qint16(end.y()), qint16(end.x()), qint16(start.y()), qint16(start.x())} +
               rectParams(rect));
}

void WmfWriter::pie(const QRect& rect, QPoint start, QPoint end) {
    if (!checkCoordinates(rect) || !checkCoordinates(QRect(start, end))) return;
    record(wmf::Pie,
           QList<qint16>{qint16(end.y()), qint16(end.x()), qint16(start.y()), qint16(start.x())} +
               rectParams(rect));
}

void WmfWriter::chord(const QRect& rect, QPoint start, QPoint end) {
    if (!checkCoordinates(rect) || !checkCoordinates(QRect(start, end))) return;
    record(wmf::Chord,
           QList<qint16>{qint16(end.y()), qint16(end.x()), qint16(start.y()), qint16(start.x())} +
               rectParams(rect));
}

void WmfWriter::textOut(QPoint topLeft, const QString& text) {
    if (!checkCoordinates(QRect(topLeft, QSize(1, 1)))) return;
    QByteArray bytes = wmf::encodeText(text).left(MaxPoints);
    QByteArray p;
    appendWord(p, quint16(bytes.size()));
    if (bytes.size() % 2) bytes.append('\0');
    p.append(bytes);
    appendWord(p, quint16(qint16(topLeft.y())));
    appendWord(p, quint16(qint16(topLeft.x())));
    recordBytes(wmf::TextOut, p);
}

void WmfWriter::stretchImage(const QRect& target, const QImage& image) {
    if (!checkCoordinates(target)) return;
    if (image.isNull() || image.width() > INT16_MAX || image.height() > INT16_MAX) {
        fail(QStringLiteral("image empty or too large"));
        return;
    }
    QByteArray p;
    appendDword(p, wmf::RopSrcCopy);
    appendWord(p, 0);  // colour table of RGB values
    for (const int v : {image.height(), image.width(), 0, 0, target.height(), target.width(),
                        target.y(), target.x()})
        appendWord(p, quint16(qint16(v)));
    p.append(wmf::encodeDib24(image));
    recordBytes(wmf::StretchDib, p);
}

QByteArray WmfWriter::data() const {
    QByteArray out;
    appendDword(out, wmf::PlaceableKey);
    const quint16 placeable[] = {
        0, 0, 0, quint16(m_size.width()), quint16(m_size.height()), quint16(m_unitsPerInch), 0, 0};
    quint16 checksum = quint16(wmf::PlaceableKey & 0xFFFF) ^ quint16(wmf::PlaceableKey >> 16);
    for (const quint16 w : placeable) {
        appendWord(out, w);
        checksum ^= w;
    }
    appendWord(out, checksum);

    const quint32 totalWords = wmf::HeaderWords + quint32(m_records.size() / 2) + 3;
    appendWord(out, 1);  // in memory
    appendWord(out, wmf::HeaderWords);
    appendWord(out, 0x0300);
    appendDword(out, totalWords);
    appendWord(out, quint16(m_objectCount));
    appendDword(out, std::max<quint32>(m_maxRecordWords, 3));
    appendWord(out, 0);
    out.append(m_records);
    appendDword(out, 3);
    appendWord(out, wmf::Eof);
    return out;
}

bool WmfWriter::save(const QString& path, QString* error) const {
    QSaveFile file(path);
    const QByteArray bytes = data();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

}  // namespace platform
