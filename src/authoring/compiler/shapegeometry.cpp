#include "authoring/compiler/shapegeometry.h"

#include <QPointF>
#include <cmath>
#include <numbers>

namespace authoring::shapegeometry {

QList<QPoint> smoothClosed(const QList<QPoint>& points, int stepsPerSegment) {
    QList<QPoint> out;
    const int n = int(points.size());
    for (int i = 0; i < n; ++i) {
        const QPointF p0 = points[(i + n - 1) % n], p1 = points[i];
        const QPointF p2 = points[(i + 1) % n], p3 = points[(i + 2) % n];
        for (int s = 0; s < stepsPerSegment; ++s) {
            const double t = double(s) / stepsPerSegment, t2 = t * t, t3 = t2 * t;
            const QPointF q =
                0.5 * ((2 * p1) + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2 +
                       (-p0 + 3 * p1 - 3 * p2 + p3) * t3);
            const QPoint r = q.toPoint();
            if (out.isEmpty() || out.last() != r) out << r;
        }
    }
    return out;
}

QList<QPoint> rotatedEllipse(QPoint centre, QPoint radii, int degrees, int steps) {
    QList<QPoint> out;
    const double a = degrees * std::numbers::pi / 180.0;
    for (int s = 0; s < steps; ++s) {
        const double t = 2 * std::numbers::pi * s / steps;
        const double x = radii.x() * std::cos(t), y = radii.y() * std::sin(t);
        out << QPointF(centre.x() + x * std::cos(a) - y * std::sin(a),
                       centre.y() + x * std::sin(a) + y * std::cos(a))
                   .toPoint();
    }
    return out;
}

QList<QPoint> mirrored(const QList<QPoint>& points, int axis) {
    QList<QPoint> out;
    out.reserve(points.size());
    for (const QPoint& p : points) out << QPoint(2 * axis - p.x(), p.y());
    return out;
}

}  // namespace authoring::shapegeometry
