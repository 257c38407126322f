#include "documents/frmzoom.h"

#include "documents/documentevents.h"
#include "platform/numbers.h"

#include <QMouseEvent>
#include <QPainter>

namespace documents {

frmZoom::frmZoom(DocumentEvents& events, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), events_(events) {
    setObjectName(QStringLiteral("frmZoom"));
    setWindowTitle(QStringLiteral("Image X4 de : "));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(440, 440);
    // Moves without a button still set where the next drag starts.
    setMouseTracking(true);
}

TwipsPerPixel frmZoom::twips() const {
    return {1440.0f / float(std::max(1, logicalDpiX())),
            1440.0f / float(std::max(1, logicalDpiY()))};
}

SheetWindows frmZoom::windows(bool legendVisible) const {
    SheetWindows w;
    w.legendVisible = legendVisible;
    w.zoomVisible = isVisible();
    w.twips = twips();
    w.zoomScale = QSizeF(width() * w.twips.x, height() * w.twips.y);
    return w;
}

void frmZoom::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Cleared first: a window larger than the picture shows nothing of an earlier one.
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QImage& picture = events_.DocPicture();
    if (height() == 0 || picture.isNull()) return;
    const TwipsPerPixel t = twips();
    const QPoint from(int(platform::roundHalfEven(events_.ZoomX / t.x)),
                      int(platform::roundHalfEven(events_.ZoomY / t.y)));
    // One picture pixel per logical pixel, whatever the screen's density.
    const QRect source = QRect(from, size()).intersected(picture.rect());
    if (source.isEmpty()) return;
    painter.drawImage(QRectF(source.topLeft() - from, source.size()), picture, source);
}

void frmZoom::remember(QPointF twips) {
    last_ =
        QPoint(int(platform::roundHalfEven(twips.x())), int(platform::roundHalfEven(twips.y())));
}

void frmZoom::mousePressEvent(QMouseEvent* event) {
    const TwipsPerPixel t = twips();
    if (event->buttons() == Qt::LeftButton)
        remember(QPointF(event->position().x() * t.x, event->position().y() * t.y));
}

void frmZoom::mouseMoveEvent(QMouseEvent* event) {
    const TwipsPerPixel t = twips();
    const QPointF at(event->position().x() * t.x, event->position().y() * t.y);
    if (event->buttons() == Qt::LeftButton) {
        if (events_.drag(last_, at, windows(false))) Paint_Zoom();
    }
    remember(at);
}

}  // namespace documents
