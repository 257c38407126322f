#pragma once

#include "questions/layerstack.h"

#include <QImage>
#include <QWidget>

namespace questions {

// Paints the layers of the drawing stretched to the widget: every layer for Robot, the base
// layers only for Small_Robot (setLayerLimit). The stacked image is rendered once per size,
// layer or limit change, so repaints and the colour stage only read it.
class DrawingView : public QWidget {
    Q_OBJECT
public:
    DrawingView(const LayerStack& layers, QWidget* parent = nullptr);

    // Paints layers 0 .. limit - 1 only; -1 paints them all.
    void setLayerLimit(int limit);
    int layerLimit() const { return limit_; }

    // The drawing as painted: the widget's size in the screen's own pixels, with the
    // screen's device pixel ratio.
    QImage image() const;
    // How many times the stacked image was rendered (the cache is kept otherwise).
    int renderCount() const { return renders_; }

signals:
    // Every press, with its button; every move (the widget tracks the mouse).
    void pressed(QPointF position, Qt::MouseButton button);
    void moved(QPointF position);
    // A left press and release over the widget.
    void clicked(QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void refreshCache() const;

    const LayerStack& layers_;
    int limit_ = -1;
    bool leftPressed_ = false;
    mutable QImage cache_;
    mutable quint64 cachedRevision_ = ~quint64(0);
    mutable int cachedLimit_ = -2;
    mutable int renders_ = 0;
};

}  // namespace questions
