// The drawing records of WmfPlayback: figures, text and bitmaps.
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "platform/wmfdib.h"
#include "platform/wmfformat.h"
#include "platform/wmfplayback.h"

namespace platform {

namespace {

constexpr qint64 MaxPoints = 4'000'000;

QRectF rectFrom(const WmfPlayback::Params& p, qsizetype at) {
    const qreal bottom = p.s(at), right = p.s(at + 1), top = p.s(at + 2), left = p.s(at + 3);
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

QPolygonF pointsFrom(const WmfPlayback::Params& p, qsizetype at, qsizetype count) {
    QPolygonF poly;
    poly.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        poly.append(QPointF(p.s(at + 2 * i), p.s(at + 2 * i + 1)));
    return poly;
}

qreal arcParameter(const QRectF& r, QPointF pt) {
    const QPointF c = r.center();
    return qRadiansToDegrees(
        std::atan2(-(pt.y() - c.y()) / (r.height() / 2), (pt.x() - c.x()) / (r.width() / 2)));
}

qreal sweepBetween(qreal from, qreal to) {
    qreal sweep = std::fmod(to - from, 360.0);
    if (sweep <= 0) sweep += 360.0;
    return sweep;
}

}  // namespace

bool WmfPlayback::playPolygons(quint16 function, const Params& p) {
    switch (function) {
        case wmf::Polygon:
        case wmf::Polyline: {
            if (!p.has(1)) return true;
            const qsizetype count = qMin<qsizetype>(p.u(0), (p.words - 1) / 2);
            if ((m_points += count) > MaxPoints) return false;
            const QPolygonF poly = pointsFrom(p, 1, count);
            if (poly.isEmpty()) return true;
            if (!prepare(poly.boundingRect(), function == wmf::Polygon)) return false;
            if (function == wmf::Polygon)
                m_painter.drawPolygon(poly, m_dc.fillRule);
            else
                m_painter.drawPolyline(poly);
            return true;
        }
        case wmf::PolyPolygon: {
            if (!p.has(1)) return true;
            const qsizetype polygons = qMin<qsizetype>(p.u(0), p.words - 1);
            qsizetype at = 1 + polygons;
            QPainterPath path;
            path.setFillRule(m_dc.fillRule);
            for (qsizetype i = 0; i < polygons; ++i) {
                const qsizetype count = qMin<qsizetype>(p.u(1 + i), (p.words - at) / 2);
                if ((m_points += count) > MaxPoints) return false;
                path.addPolygon(pointsFrom(p, at, count));
                path.closeSubpath();
                at += 2 * count;
            }
            if (path.isEmpty()) return true;
            if (!prepare(path.boundingRect(), true)) return false;
            m_painter.drawPath(path);
            return true;
        }
        default:
            return true;
    }
}

bool WmfPlayback::playFigure(quint16 function, const Params& p) {
    switch (function) {
        case wmf::Polygon:
        case wmf::Polyline:
        case wmf::PolyPolygon:
            return playPolygons(function, p);
        case wmf::Rectangle:
        case wmf::Ellipse:
            if (!p.has(4)) return true;
            if (!prepare(rectFrom(p, 0), true)) return false;
            if (function == wmf::Rectangle)
                m_painter.drawRect(rectFrom(p, 0));
            else
                m_painter.drawEllipse(rectFrom(p, 0));
            return true;
        case wmf::RoundRect:
            if (!p.has(6)) return true;
            if (!prepare(rectFrom(p, 2), true)) return false;
            m_painter.drawRoundedRect(rectFrom(p, 2), qAbs(p.s(1)) / 2.0, qAbs(p.s(0)) / 2.0);
            return true;
        case wmf::LineTo: {
            if (!p.has(2)) return true;
            const QPointF to(p.s(1), p.s(0));
            if (!prepare(QRectF(m_dc.current, to).normalized(), false)) return false;
            m_painter.drawLine(m_dc.current, to);
            m_dc.current = to;
            return true;
        }
        case wmf::Arc:
        case wmf::Pie:
        case wmf::Chord:
            return drawArcFigure(function, p);
        case wmf::SetPixel:
            if (p.has(4)) fillRect(QRectF(p.s(3), p.s(2), 0, 0), p.colour(0));
            return m_area <= m_areaCap;
        case wmf::PatBlt:
            if (p.has(6) && p.u32(0) == wmf::RopPatCopy)
                fillRect(QRectF(p.s(5), p.s(4), p.s(3), p.s(2)), m_dc.brush);
            return m_area <= m_areaCap;
        default:
            return playText(function, p);
    }
}

bool WmfPlayback::drawArcFigure(quint16 function, const Params& p) {
    if (!p.has(8)) return true;
    const QRectF r = rectFrom(p, 4);
    if (r.width() <= 0 || r.height() <= 0) return true;
    qreal start = arcParameter(r, QPointF(p.s(3), p.s(2)));
    qreal end = arcParameter(r, QPointF(p.s(1), p.s(0)));
    // Arcs run counterclockwise as seen on the device; a flipped window turns that around.
    const QTransform w = windowTransform();
    if (w.m11() * w.m22() < 0) std::swap(start, end);
    const qreal sweep = sweepBetween(start, end);
    QPainterPath path;
    if (function == wmf::Pie)
        path.moveTo(r.center());
    else
        path.arcMoveTo(r, start);
    path.arcTo(r, start, sweep);
    if (function != wmf::Arc) path.closeSubpath();
    if (!prepare(r, function != wmf::Arc)) return false;
    m_painter.drawPath(path);
    return true;
}

bool WmfPlayback::playText(quint16 function, const Params& p) {
    if (function == wmf::TextOut) {
        if (!p.has(1)) return true;
        const qsizetype length = p.u(0);
        const qsizetype stringWords = (length + 1) / 2;
        if (!p.has(1 + stringWords + 2)) return true;
        const auto* bytes = reinterpret_cast<const char*>(p.data + 2);
        const QPointF at(p.s(1 + stringWords + 1), p.s(1 + stringWords));
        drawText(at, wmf::decodeText(bytes, length), std::nullopt, 0);
        return m_area <= m_areaCap;
    }
    if (function != wmf::ExtTextOut || !p.has(4)) return true;
    const QPointF at(p.s(1), p.s(0));
    const qsizetype length = p.u(2);
    const quint16 options = p.u(3);
    qsizetype stringAt = 4;
    std::optional<QRectF> box;
    if (options & (wmf::EtoOpaque | wmf::EtoClipped)) {
        if (!p.has(8)) return true;
        // This rectangle is written left, top, right, bottom, unlike the figures.
        box = QRectF(QPointF(p.s(4), p.s(5)), QPointF(p.s(6), p.s(7))).normalized();
        stringAt = 8;
    }
    if (!p.has(stringAt + (length + 1) / 2)) return true;
    const auto* bytes = reinterpret_cast<const char*>(p.data + 2 * stringAt);
    drawText(at, wmf::decodeText(bytes, length), box, options);
    return m_area <= m_areaCap;
}

void WmfPlayback::drawText(QPointF at, const QString& text, const std::optional<QRectF>& box,
                           quint16 options) {
    const QTransform window = windowTransform();
    if (box && (options & wmf::EtoOpaque)) fillRect(*box, m_dc.bkColour);
    if (text.isEmpty()) return;
    const bool useCurrent = m_dc.textAlign & wmf::TaUpdateCp;
    const QPointF ref = window.map(useCurrent ? m_dc.current : at);

    // Glyphs stay upright whatever the window's direction, so text is laid out in target
    // units: the height scales with the window, capped so a forged size cannot stall us.
    QFont font(m_dc.font.face.isEmpty() ? QStringLiteral("Sans Serif") : m_dc.font.face);
    const qreal height = m_dc.font.height == 0 ? 12 : qAbs(m_dc.font.height) * qAbs(window.m22());
    font.setPixelSize(qBound(1, qRound(height), qMax(16, qRound(m_target.height() * 2))));
    font.setWeight(QFont::Weight(qBound(100, m_dc.font.weight <= 0 ? 400 : m_dc.font.weight, 900)));
    font.setItalic(m_dc.font.italic);
    font.setUnderline(m_dc.font.underline);
    font.setStrikeOut(m_dc.font.strikeOut);
    // Text alone is smoothed: a label is read, not hit-tested, while every fill keeps the
    // exact colour the pointer's palette lookup needs.
    font.setStyleStrategy(QFont::PreferAntialias);
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(text);

    QPointF origin(0, 0);  // relative to ref, in an unrotated frame
    const quint16 horizontal = m_dc.textAlign & wmf::TaCenter;
    if (horizontal == wmf::TaCenter)
        origin.rx() -= width / 2;
    else if (horizontal == wmf::TaRight)
        origin.rx() -= width;
    const quint16 vertical = m_dc.textAlign & wmf::TaBaseline;
    if (vertical == 0)
        origin.ry() += metrics.ascent();
    else if (vertical == wmf::TaBottom)
        origin.ry() -= metrics.descent();

    const QRectF bounds(ref.x() + origin.x(), ref.y() + origin.y() - metrics.ascent(), width,
                        metrics.height());
    m_area += bounds.intersected(m_target).width() * bounds.intersected(m_target).height();
    if (m_area > m_areaCap) return;

    m_painter.setTransform(m_base);
    m_painter.translate(ref);
    if (m_dc.font.escapement != 0) m_painter.rotate(-m_dc.font.escapement / 10.0);
    if (box && (options & wmf::EtoClipped))
        m_painter.setClipRect(window.mapRect(*box).translated(-ref), Qt::IntersectClip);
    m_painter.setFont(font);
    m_painter.setPen(m_dc.textColour);
    m_painter.setBackgroundMode(m_dc.opaqueBk ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_dc.bkColour);
    m_painter.drawText(origin, text);
    if (box && (options & wmf::EtoClipped)) applyClip();
    if (useCurrent) m_dc.current = window.inverted().map(ref + QPointF(width, 0));
}

bool WmfPlayback::playBitmap(quint16 function, const Params& p) {
    // Each record has a form without a bitmap, which only paints with the brush.
    const qsizetype bare = function == wmf::DibBitBlt ? 9 : 11;
    const qsizetype fields = function == wmf::DibBitBlt ? 8 : function == wmf::StretchDib ? 11 : 10;
    if (!p.has(fields)) return true;
    const quint32 rop = p.u32(0);
    if (function != wmf::StretchDib && p.words == bare) {
        const QRectF dest(p.s(bare - 1), p.s(bare - 2), p.s(bare - 3), p.s(bare - 4));
        if (rop == wmf::RopPatCopy) fillRect(dest, m_dc.brush);
        if (rop == wmf::RopBlackness) fillRect(dest, Qt::black);
        if (rop == wmf::RopWhiteness) fillRect(dest, Qt::white);
        return m_area <= m_areaCap;
    }
    const bool paletteIndices = function == wmf::StretchDib && p.u(2) == 1;
    const QImage image =
        wmf::decodeDib(p.data + 2 * fields, (p.words - fields) * 2, paletteIndices);
    if (image.isNull()) return true;
    QRectF dest;
    QRect source;
    if (function == wmf::DibBitBlt) {
        dest = QRectF(p.s(7), p.s(6), p.s(5), p.s(4));
        source = QRect(p.s(3), p.s(2), p.s(5), p.s(4));
    } else {
        const qsizetype o = function == wmf::StretchDib ? 3 : 2;
        dest = QRectF(p.s(o + 7), p.s(o + 6), p.s(o + 5), p.s(o + 4));
        source = QRect(p.s(o + 3), p.s(o + 2), p.s(o + 1), p.s(o));
        // StretchDIBits counts the source from the bottom row of the bitmap.
        if (function == wmf::StretchDib)
            source.moveTop(image.height() - source.y() - source.height());
    }
    drawImage(dest, image, source);
    return m_area <= m_areaCap;
}

void WmfPlayback::drawImage(const QRectF& dest, const QImage& image, QRect source) {
    if (dest.width() == 0 || dest.height() == 0) return;
    source = source.normalized().intersected(image.rect());
    if (source.isEmpty()) source = image.rect();
    QImage part = image.copy(source);
    if (dest.width() < 0 || dest.height() < 0)
        part = part.mirrored(dest.width() < 0, dest.height() < 0);
    if (!prepare(dest.normalized(), false)) return;
    m_painter.drawImage(dest.normalized(), part);
}

void WmfPlayback::fillRect(const QRectF& logical, const QBrush& brush) {
    const QRectF r = logical.normalized();
    if (!prepare(r, false)) return;
    const QRectF device = windowTransform().mapRect(r);
    m_painter.setTransform(m_base);
    // At least the one pixel a set pixel covers, however small the window's unit.
    m_painter.fillRect(QRectF(device.topLeft(), device.size().expandedTo(QSizeF(1, 1))), brush);
}

}  // namespace platform
