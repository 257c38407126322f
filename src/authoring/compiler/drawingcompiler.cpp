#include "authoring/compiler/drawingcompiler.h"

#include "authoring/compiler/shapegeometry.h"

#include "platform/wmfwriter.h"

#include <QDir>
#include <QFileInfo>

namespace authoring {

namespace {

void drawShape(platform::WmfWriter& wmf, const Shape& s, const QList<QPoint>& points) {
    switch (s.kind) {
        case Shape::Polygon:
            wmf.polygon(QPolygon(points));
            break;
        case Shape::Polyline:
            wmf.polyline(QPolygon(points));
            break;
        case Shape::Ellipse:
            wmf.ellipse(QRect(points[0], points[1]).normalized());
            break;
        case Shape::Rectangle:
            wmf.rectangle(QRect(points[0], points[1]).normalized());
            break;
    }
}

}  // namespace

DrawingCompiler::DrawingCompiler(const KbSource& kb) : m_kb(kb) {
    for (const PaletteEntry& e : kb.palette) m_colours.insert(e.name, e.colour);
}

bool DrawingCompiler::writeFigures(const QString& drawingFolder) {
    for (const Figure& f : m_kb.figures) {
        const QString path = QDir(drawingFolder).filePath(f.path);
        if (!QDir().mkpath(QFileInfo(path).path())) {
            m_error = QStringLiteral("cannot create the folder of ") + path;
            return false;
        }
        if (!writeFigure(f, path)) return false;
    }
    return true;
}

bool DrawingCompiler::writeFigure(const Figure& figure, const QString& path) {
    platform::WmfWriter wmf(QSize(kWidth, kHeight));
    wmf.setPolyFillWinding(true);
    for (const Shape& s : figure.shapes) {
        const bool filled = s.kind != Shape::Polyline;
        const int brush =
            filled ? wmf.createSolidBrush(m_colours.value(s.fill)) : wmf.createNullBrush();
        const int pen = s.outline.isEmpty() ? wmf.createNullPen()
                                            : wmf.createPen(m_colours.value(s.outline), s.penWidth);
        wmf.selectObject(brush);
        wmf.selectObject(pen);
        drawShape(wmf, s, s.points);
        if (s.mirrored) {
            QList<QPoint> other = shapegeometry::mirrored(s.points, figure.axis);
            drawShape(wmf, s, other);
        }
        wmf.deleteObject(pen);
        wmf.deleteObject(brush);
    }
    if (!wmf.errorString().isEmpty()) {
        m_error = figure.place.where() + QStringLiteral(": ") + wmf.errorString();
        return false;
    }
    QString error;
    if (!wmf.save(path, &error)) {
        m_error = error;
        return false;
    }
    return true;
}

bool DrawingCompiler::writePalette(const QList<QColor>& colours, const QString& path,
                                   QString* error) {
    constexpr int kCell = 100;
    const int n = int(colours.size());
    platform::WmfWriter wmf(QSize(n * kCell, kCell));
    const int pen = wmf.createNullPen();
    wmf.selectObject(pen);
    for (int i = 0; i < n; ++i) {
        const int brush = wmf.createSolidBrush(colours[i]);
        wmf.selectObject(brush);
        // One unit wider than the cell: a rectangle without outline leaves its right and
        // bottom edges unpainted, and the cells must meet.
        wmf.rectangle(QRect(i * kCell, 0, kCell + 1, kCell + 1));
        wmf.deleteObject(brush);
    }
    return wmf.save(path, error);
}

}  // namespace authoring
