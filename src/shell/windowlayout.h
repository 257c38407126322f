#pragma once

#include <QRectF>

namespace shell {

// Geometry of the main window's panes, in twips (1440 per inch). The window converts the
// results to pixels with the screen's twips per pixel.
struct LayoutInput {
    double scaleWidth = 0;   // inner width of the main window
    double scaleHeight = 0;  // inner height
    bool toolbarVisible = true;
    double toolbarHeight = 0;
    bool statusBarVisible = true;
    double statusBarHeight = 0;
    double drawingLeft = 35;  // the drawing's current left edge
    double deterToolbarWidth = 0;
    double questionToolbarWidth = 0;
    double splitterWidth = 0;
    double pixelWidth = 15;   // one screen pixel, horizontally
    double pixelHeight = 15;  // and vertically
    double statusPanel1Width = 0;
    double statusPanel2Width = 0;
};

struct Layout {
    double availableHeight = 0;  // H
    double availableWidth = 0;   // M
    QRectF drawing;
    QRectF choicePicture;
    QRectF smallDrawing;
    QRectF speciesList;
    QRectF speciesTree;
    QRectF splitter;
    QRectF document;
    QPointF deterToolbar;     // top-left of the character toolbar
    QPointF questionToolbar;  // top-left of the question toolbar
    QRectF resultBox;         // over the second panel of the status bar
};

// The largest 4:3 drawing that fits beside the character toolbar, the left pane a quarter of
// the available width with the small drawing on top, the document view filling the rest.
Layout Dispose_Fenetre(const LayoutInput& in);

// Where the panes go when the splitter is released at splitterLeft: it stops at half of the
// window's outer width and no further left than its own width.
struct SplitterDrop {
    double splitterLeft = 0;
    QRectF smallDrawing;
    QRectF speciesList;
    QRectF speciesTree;
    QRectF document;
};
SplitterDrop Barre_Verticale_Drop(const Layout& current, double splitterLeft, double splitterWidth,
                                  double scaleWidth, double outerWidth);

}  // namespace shell
