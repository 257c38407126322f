#pragma once

#include "documents/zoomgeometry.h"

#include <QWidget>

namespace documents {

class DocumentEvents;
struct SheetWindows;

// The zoom window: kept above the others, it shows the visible part of the page picture at
// full size and lets the left button drag it. It is made hidden with the main window and
// lives as long as it.
class frmZoom : public QWidget {
    Q_OBJECT
public:
    explicit frmZoom(DocumentEvents& events, QWidget* parent = nullptr);

    // Repaints the visible part of the page picture.
    void Paint_Zoom() { update(); }
    // The window as the zoom arithmetic sees it: visible or not, inner size in twips.
    SheetWindows windows(bool legendVisible) const;
    TwipsPerPixel twips() const;
    // The last pointer position inside the window, twips.
    QPoint lastPosition() const { return last_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void remember(QPointF twips);

    DocumentEvents& events_;
    QPoint last_;
};

}  // namespace documents
