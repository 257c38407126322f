#include "questions/drawingview.h"

#include <QMouseEvent>
#include <QPainter>

namespace questions {

DrawingView::DrawingView(const LayerStack& layers, QWidget* parent)
    : QWidget(parent), layers_(layers) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void DrawingView::setLayerLimit(int limit) {
    limit_ = limit;
    update();
}

void DrawingView::refreshCache() const {
    const QSize size = this->size().expandedTo(QSize(1, 1));
    // Kept at the screen's own pixels, so a scaled display shows the drawing sharp and the
    // colour stage reads the pixel that is shown.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size) * ratio).toSize().expandedTo(QSize(1, 1));
    if (cache_.size() == pixels && cache_.devicePixelRatio() == ratio &&
        cachedRevision_ == layers_.revision() && cachedLimit_ == limit_)
        return;
    cache_ = QImage(pixels, QImage::Format_RGB32);
    cache_.setDevicePixelRatio(ratio);
    cache_.fill(Qt::white);
    QPainter p(&cache_);
    const QRectF target(QPointF(0, 0), QSizeF(size));
    const int count = limit_ < 0 ? layers_.size() : std::min(limit_, layers_.size());
    // A layer that is missing or failed to load is skipped.
    for (int i = 0; i < count; ++i) {
        if (!layers_.at(i).isNull()) layers_.at(i).paint(p, target);
    }
    cachedRevision_ = layers_.revision();
    cachedLimit_ = limit_;
    ++renders_;
}

QImage DrawingView::image() const {
    refreshCache();
    return cache_;
}

void DrawingView::paintEvent(QPaintEvent* event) {
    refreshCache();
    QPainter p(this);
    const qreal ratio = cache_.devicePixelRatio();
    const QRectF area(event->rect());
    p.drawImage(area, cache_, QRectF(area.topLeft() * ratio, area.size() * ratio));
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    leftPressed_ = event->button() == Qt::LeftButton;
    emit pressed(event->position(), event->button());
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->position());
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = leftPressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    leftPressed_ = false;
    if (click) emit clicked(event->position().toPoint());
}

}  // namespace questions
