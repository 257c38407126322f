#include "questions/drawingview.h"

#include <QMouseEvent>
#include <QPainter>

namespace questions {

DrawingView::DrawingView(const LayerStack& layers, QWidget* parent)
    : QWidget(parent), layers_(layers)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawingView::refreshCache() const
{
    const QSize size = this->size();
    if (cache_.size() == size && cachedRevision_ == layers_.revision()) return;
    cache_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    cache_.fill(Qt::white);
    QPainter p(&cache_);
    const QRectF target(QPointF(0, 0), QSizeF(size));
    for (int i = 0; i < layers_.size(); ++i) {
        if (!layers_.at(i).isNull()) layers_.at(i).paint(p, target);
    }
    cachedRevision_ = layers_.revision();
}

QImage DrawingView::image() const
{
    refreshCache();
    return cache_;
}

void DrawingView::paintEvent(QPaintEvent*)
{
    refreshCache();
    QPainter p(this);
    p.drawImage(0, 0, cache_);
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) emit clicked(event->position().toPoint());
}

}  // namespace questions
