#pragma once

#include "questions/layerstack.h"

#include <QImage>
#include <QWidget>

namespace questions {

// Paints every layer of the drawing stretched to the widget. The stacked image is rendered
// once per size and layer change, so repaints only copy it.
class DrawingView : public QWidget {
    Q_OBJECT
public:
    DrawingView(const LayerStack& layers, QWidget* parent = nullptr);

    // The drawing as painted, at the widget's size.
    QImage image() const;

signals:
    void clicked(QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void refreshCache() const;

    const LayerStack& layers_;
    mutable QImage cache_;
    mutable quint64 cachedRevision_ = ~quint64(0);
};

}  // namespace questions
