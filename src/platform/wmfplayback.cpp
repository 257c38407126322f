#include "platform/wmfplayback.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <cmath>

#include "platform/wmfdib.h"
#include "platform/wmfformat.h"

namespace platform {

namespace {

// Limits that keep a hostile file from holding the interface: far above what a drawing
// needs (a few thousand records, each figure painted a handful of times over).
constexpr qint64 MaxRecords = 1'000'000;
constexpr qreal AreaCapTargets = 256;
constexpr qreal AreaCapFloor = 4e6;
constexpr size_t MaxSavedDcs = 4096;
constexpr int MaxObjects = 65535;

QPen penFromStyle(quint16 style, const QColor& colour) {
    QPen pen(colour);
    switch (style & wmf::PsStyleMask) {
        case wmf::PsDash:
            pen.setStyle(Qt::DashLine);
            break;
        case wmf::PsDot:
            pen.setStyle(Qt::DotLine);
            break;
        case wmf::PsDashDot:
            pen.setStyle(Qt::DashDotLine);
            break;
        case wmf::PsDashDotDot:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        case wmf::PsNull:
            pen.setStyle(Qt::NoPen);
            break;
        default:
            pen.setStyle(Qt::SolidLine);
            break;
    }
    pen.setCapStyle(style & wmf::PsEndcapSquare ? Qt::SquareCap
                    : style & wmf::PsEndcapFlat ? Qt::FlatCap
                                                : Qt::RoundCap);
    pen.setJoinStyle(style & wmf::PsJoinBevel   ? Qt::BevelJoin
                     : style & wmf::PsJoinMiter ? Qt::MiterJoin
                                                : Qt::RoundJoin);
    return pen;
}

QBrush hatchBrush(quint16 hatch, const QColor& colour) {
    static constexpr Qt::BrushStyle Styles[] = {Qt::HorPattern,   Qt::VerPattern,
                                                Qt::FDiagPattern, Qt::BDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(colour, hatch < 6 ? Styles[hatch] : Qt::SolidPattern);
}

// Rectangles come as bottom, right, top, left from parameter `at` on.
QRectF rectAt(const WmfPlayback::Params& p, qsizetype at) {
    const qreal bottom = p.s(at), right = p.s(at + 1), top = p.s(at + 2), left = p.s(at + 3);
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

}  // namespace

qint16 WmfPlayback::Params::s(qsizetype i) const {
    return qint16(u(i));
}

quint16 WmfPlayback::Params::u(qsizetype i) const {
    return qFromLittleEndian<quint16>(data + 2 * i);
}

quint32 WmfPlayback::Params::u32(qsizetype i) const {
    return u(i) | quint32(u(i + 1)) << 16;
}

QColor WmfPlayback::Params::colour(qsizetype i) const {
    const quint32 ref = u32(i);
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

WmfPlayback::WmfPlayback(QPainter& painter, const QRectF& target, const QRect& frame,
                         int objectCount)
    : m_painter(painter), m_target(target), m_base(painter.transform()) {
    if (frame.width() != 0 && frame.height() != 0) {
        m_dc.windowOrg = frame.topLeft();
        m_dc.windowExt = QSizeF(frame.width(), frame.height());
    } else {
        m_dc.windowOrg = QPointF(0, 0);
        m_dc.windowExt = target.size();
    }
    m_objects.resize(size_t(qBound(0, objectCount, MaxObjects)));
    for (int i = 0; i < int(m_objects.size()); ++i) m_freeSlots.insert(i);
    m_areaCap = AreaCapTargets * target.width() * target.height() + AreaCapFloor;
    m_painter.save();
}

WmfPlayback::~WmfPlayback() {
    m_painter.restore();
}

void WmfPlayback::run(const uchar* records, qsizetype size) {
    qsizetype at = 0;
    for (qint64 count = 0; count < MaxRecords && at + 6 <= size; ++count) {
        const quint32 words = qFromLittleEndian<quint32>(records + at);
        const quint16 function = qFromLittleEndian<quint16>(records + at + 4);
        if (words < 3 || qint64(words) * 2 > size - at || function == wmf::Eof) return;
        const Params params{records + at + 6, qsizetype(words) - 3};
        if (!play(function, params)) return;
        at += qsizetype(words) * 2;
    }
}

bool WmfPlayback::play(quint16 function, const Params& p) {
    switch (function & 0xFF00) {
        case 0x0900:
        case 0x0B00:
        case 0x0F00:
            if (function == wmf::DibBitBlt || function == wmf::DibStretchBlt ||
                function == wmf::StretchDib)
                return playBitmap(function, p);
            return true;
        default:
            break;
    }
    switch (function) {
        case wmf::CreatePenIndirect:
        case wmf::CreateBrushIndirect:
        case wmf::CreateFontIndirect:
        case wmf::CreatePalette:
        case wmf::CreatePatternBrush:
        case wmf::DibCreatePatternBrush:
        case wmf::CreateRegion:
        case wmf::SelectObject:
        case wmf::DeleteObject:
            return playObject(function, p);
        case wmf::Polygon:
        case wmf::Polyline:
        case wmf::PolyPolygon:
        case wmf::Rectangle:
        case wmf::Ellipse:
        case wmf::RoundRect:
        case wmf::LineTo:
        case wmf::Arc:
        case wmf::Pie:
        case wmf::Chord:
        case wmf::TextOut:
        case wmf::ExtTextOut:
        case wmf::SetPixel:
        case wmf::PatBlt:
            return playFigure(function, p);
        default:
            return playState(function, p);
    }
}

bool WmfPlayback::playState(quint16 function, const Params& p) {
    switch (function) {
        case wmf::SetWindowOrg:
            if (p.has(2)) setWindow(QPointF(p.s(1), p.s(0)), m_dc.windowExt);
            break;
        case wmf::SetWindowExt:
            if (p.has(2)) setWindow(m_dc.windowOrg, QSizeF(p.s(1), p.s(0)));
            break;
        case wmf::OffsetWindowOrg:
            if (p.has(2)) setWindow(m_dc.windowOrg + QPointF(p.s(1), p.s(0)), m_dc.windowExt);
            break;
        case wmf::ScaleWindowExt:
            if (p.has(4) && p.s(0) != 0 && p.s(2) != 0) {
                const QSizeF ext(m_dc.windowExt.width() * p.s(3) / p.s(2),
                                 m_dc.windowExt.height() * p.s(1) / p.s(0));
                setWindow(m_dc.windowOrg, ext);
            }
            break;
        case wmf::SetPolyFillMode:
            if (p.has(1))
                m_dc.fillRule = p.u(0) == wmf::PolyFillWinding ? Qt::WindingFill : Qt::OddEvenFill;
            break;
        case wmf::SetBkMode:
            if (p.has(1)) m_dc.opaqueBk = p.u(0) != wmf::BkTransparent;
            break;
        case wmf::SetBkColor:
            if (p.has(2)) m_dc.bkColour = p.colour(0);
            break;
        case wmf::SetTextColor:
            if (p.has(2)) m_dc.textColour = p.colour(0);
            break;
        case wmf::SetTextAlign:
            if (p.has(1)) m_dc.textAlign = p.u(0);
            break;
        case wmf::MoveTo:
            if (p.has(2)) m_dc.current = QPointF(p.s(1), p.s(0));
            break;
        case wmf::SaveDc:
            if (m_saved.size() < MaxSavedDcs) m_saved.push_back(m_dc);
            break;
        case wmf::RestoreDc:
            if (p.has(1)) restoreDc(p.s(0));
            break;
        case wmf::IntersectClipRect:
            if (p.has(4)) {
                const QRectF r = windowTransform().mapRect(rectAt(p, 0));
                m_dc.clip = m_dc.clip ? m_dc.clip->intersected(r) : r;
                applyClip();
            }
            break;
        default:
            break;
    }
    return true;
}

void WmfPlayback::setWindow(QPointF org, QSizeF ext) {
    // A zero extent has no mapping; Windows refuses it and so do we.
    if (ext.width() == 0 || ext.height() == 0 || !std::isfinite(ext.width()) ||
        !std::isfinite(ext.height()))
        return;
    m_dc.windowOrg = org;
    m_dc.windowExt = ext;
}

void WmfPlayback::restoreDc(int which) {
    // Negative: that many saves back; positive: the save of that number, counted from 1.
    const qint64 depth = qint64(m_saved.size());
    const qint64 keep = which < 0 ? depth + which : which - 1;
    if (which == 0 || keep < 0 || keep >= depth) return;
    const bool clipChanged = m_saved[size_t(keep)].clip != m_dc.clip;
    m_dc = m_saved[size_t(keep)];
    m_saved.resize(size_t(keep));
    if (clipChanged) applyClip();
}

void WmfPlayback::applyClip() {
    m_painter.restore();
    m_painter.save();
    if (m_dc.clip) {
        m_painter.setTransform(m_base);
        m_painter.setClipRect(*m_dc.clip, Qt::IntersectClip);
    }
}

bool WmfPlayback::playObject(quint16 function, const Params& p) {
    Object o;
    switch (function) {
        case wmf::SelectObject:
            if (p.has(1)) selectObject(p.u(0));
            return true;
        case wmf::DeleteObject:
            if (p.has(1)) deleteObject(p.u(0));
            return true;
        case wmf::CreatePenIndirect:
            if (p.has(5)) {
                o.kind = Object::Pen;
                o.pen = penFromStyle(p.u(0), p.colour(3));
                o.penWidth = qMax(0, int(p.s(1)));
            }
            break;
        case wmf::CreateBrushIndirect:
            if (p.has(3)) {
                o.kind = Object::Brush;
                const quint16 style = p.u(0);
                if (style == wmf::BsNull)
                    o.brush = Qt::NoBrush;
                else if (style == wmf::BsHatched && p.has(4))
                    o.brush = hatchBrush(p.u(3), p.colour(1));
                else
                    o.brush = QBrush(p.colour(1));
            }
            break;
        case wmf::CreateFontIndirect:
            if (p.has(9)) {
                o.kind = Object::FontObject;
                o.font.height = p.s(0);
                o.font.escapement = p.s(2);
                o.font.weight = p.s(4);
                o.font.italic = p.data[10] != 0;
                o.font.underline = p.data[11] != 0;
                o.font.strikeOut = p.data[12] != 0;
                const auto* face = reinterpret_cast<const char*>(p.data + 18);
                const qsizetype room = qMin<qsizetype>(32, (p.words - 9) * 2);
                o.font.face = wmf::decodeText(face, qstrnlen(face, size_t(room)));
            }
            break;
        case wmf::DibCreatePatternBrush:
            if (p.has(2)) {
                const QImage image = wmf::decodeDib(p.data + 4, (p.words - 2) * 2, p.u(1) == 1);
                o.kind = Object::Brush;
                o.brush = image.isNull() ? QBrush(Qt::black, Qt::Dense4Pattern) : QBrush(image);
            }
            break;
        case wmf::CreatePatternBrush:
            // An old device-dependent bitmap we do not decode; a half-tone stands in for it.
            o.kind = Object::Brush;
            o.brush = QBrush(Qt::black, Qt::Dense4Pattern);
            break;
        default:
            break;  // palettes and regions only hold their slot
    }
    createObject(std::move(o));
    return true;
}

void WmfPlayback::createObject(Object object) {
    // Windows puts each new object in the lowest free slot; later records name it by that.
    if (!m_freeSlots.empty()) {
        const int slot = *m_freeSlots.begin();
        m_freeSlots.erase(m_freeSlots.begin());
        m_objects[size_t(slot)] = std::move(object);
    } else if (m_objects.size() < size_t(MaxObjects)) {
        m_objects.push_back(std::move(object));
    }
}

void WmfPlayback::selectObject(int index) {
    if (index < 0 || size_t(index) >= m_objects.size() || !m_objects[size_t(index)]) return;
    const Object& o = *m_objects[size_t(index)];
    switch (o.kind) {
        case Object::Pen:
            m_dc.pen = o.pen;
            m_dc.penWidth = o.penWidth;
            break;
        case Object::Brush:
            m_dc.brush = o.brush;
            break;
        case Object::FontObject:
            m_dc.font = o.font;
            break;
        case Object::Other:
            break;
    }
}

void WmfPlayback::deleteObject(int index) {
    if (index < 0 || size_t(index) >= m_objects.size() || !m_objects[size_t(index)]) return;
    m_objects[size_t(index)].reset();
    m_freeSlots.insert(index);
}

QTransform WmfPlayback::windowTransform() const {
    const qreal sx = m_target.width() / m_dc.windowExt.width();
    const qreal sy = m_target.height() / m_dc.windowExt.height();
    return QTransform(sx, 0, 0, sy, m_target.x() - m_dc.windowOrg.x() * sx,
                      m_target.y() - m_dc.windowOrg.y() * sy);
}

// Sets up the painter for one figure; false when the work cap is spent. Pens are drawn
// cosmetic at their width in device units, at least one pixel, as GDI draws thin pens.
bool WmfPlayback::prepare(const QRectF& logicalBounds, bool fill) {
    const QTransform window = windowTransform();
    const QRectF bounds = window.mapRect(logicalBounds).adjusted(-1, -1, 1, 1);
    const QRectF visible = bounds.intersected(m_target);
    m_area += visible.width() * visible.height();
    if (m_area > m_areaCap) return false;

    QPen pen = m_dc.pen;
    if (pen.style() != Qt::NoPen) {
        pen.setCosmetic(true);
        // GDI draws whole device pixels, and a one-pixel pen takes Qt's fast path.
        const qreal width = qBound(1, qRound(m_dc.penWidth * qAbs(window.m11())), 4096);
        pen.setWidthF(width);
        // Round joins and caps cost the stroker dearly and show only on wide pens.
        if (width < 4) {
            pen.setJoinStyle(Qt::MiterJoin);
            if (pen.capStyle() == Qt::RoundCap) pen.setCapStyle(Qt::SquareCap);
        }
    }
    m_painter.setPen(pen);
    m_painter.setBrush(fill ? m_dc.brush : QBrush(Qt::NoBrush));
    m_painter.setBackgroundMode(m_dc.opaqueBk ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_dc.bkColour);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setTransform(window * m_base);
    return true;
}

}  // namespace platform
