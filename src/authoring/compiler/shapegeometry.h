#pragma once

#include <QList>
#include <QPoint>

// Turns the smooth figures of the source into the polygons a metafile can hold.
namespace authoring::shapegeometry {

// A closed Catmull-Rom curve through the points, sampled into a polygon.
QList<QPoint> smoothClosed(const QList<QPoint>& points, int stepsPerSegment = 10);
// An ellipse of centre c and radii r turned by the angle (degrees, clockwise on screen).
QList<QPoint> rotatedEllipse(QPoint centre, QPoint radii, int degrees, int steps = 64);
// The points reflected about the vertical line x = axis.
QList<QPoint> mirrored(const QList<QPoint>& points, int axis);

}  // namespace authoring::shapegeometry
