#include "shell/windowlayout.h"

#include "platform/numbers.h"

#include <cmath>

namespace shell {

using platform::roundHalfEven;

namespace {
constexpr double BottomReserve = 70;
constexpr double Margin = 35;
constexpr double ToolbarGap = 200;
}  // namespace

Layout Dispose_Fenetre(const LayoutInput& in) {
    Layout l;
    double h = roundHalfEven(in.scaleHeight - BottomReserve);
    if (in.toolbarVisible) h = roundHalfEven(h - in.toolbarHeight);
    if (in.statusBarVisible) h = roundHalfEven(h - in.statusBarHeight);
    double d = h;
    double w = roundHalfEven(h * 4 / 3);
    const double m = roundHalfEven(in.scaleWidth - 3 * in.drawingLeft - in.deterToolbarWidth);
    if (m < w) {
        d = roundHalfEven(m * 3 / 4);
        w = m;
    }
    l.availableHeight = h;
    l.availableWidth = m;

    const double top = in.toolbarVisible ? Margin + in.toolbarHeight : Margin;
    l.drawing = QRectF(Margin, top, w, d);
    l.choicePicture = l.drawing;
    l.smallDrawing = QRectF(l.drawing.left(), l.drawing.top(), m / 4, m * 3 / 16);
    const double paneTop = l.drawing.top() + l.smallDrawing.height();
    const double paneHeight = h - l.smallDrawing.height();
    l.speciesList = QRectF(l.drawing.left(), paneTop, m / 4, paneHeight);
    l.speciesTree = l.speciesList;
    const double fullHeight = l.speciesTree.height() + l.smallDrawing.height();
    l.splitter = QRectF(l.speciesTree.left() + l.speciesTree.width(), l.smallDrawing.top(),
                        in.splitterWidth, fullHeight);
    const double docLeft = l.splitter.left() + l.splitter.width();
    l.document =
        QRectF(docLeft, l.smallDrawing.top(),
               in.scaleWidth - l.splitter.left() - l.splitter.width() - Margin, fullHeight);
    // Both vertical toolbars stand at the right edge, below the main toolbar with a gap;
    // the gap is measured from the toolbar's height even when it is hidden.
    l.deterToolbar = QPointF(in.scaleWidth - in.deterToolbarWidth, in.toolbarHeight + ToolbarGap);
    l.questionToolbar =
        QPointF(in.scaleWidth - in.questionToolbarWidth, in.toolbarHeight + ToolbarGap);
    l.resultBox = QRectF(in.statusPanel1Width + 2 * in.pixelWidth,
                         in.scaleHeight - in.statusBarHeight + 2 * in.pixelHeight,
                         in.statusPanel2Width, in.statusBarHeight - 2 * in.pixelHeight);
    return l;
}

SplitterDrop Barre_Verticale_Drop(const Layout& current, double splitterLeft, double splitterWidth,
                                  double scaleWidth, double outerWidth) {
    SplitterDrop s;
    double left = splitterLeft;
    if (left >= outerWidth / 2) left = outerWidth / 2;
    double l = roundHalfEven(left);
    const double b = roundHalfEven(splitterWidth);
    const double w = roundHalfEven(scaleWidth);
    if (l < b) {
        l = b;
        left = b;
    } else if (w < l) {
        l = w - b;
        left = l;
    }
    s.splitterLeft = left;
    const double paneWidth = std::abs(l - current.speciesTree.left());
    s.smallDrawing = QRectF(current.smallDrawing.left(), current.smallDrawing.top(), paneWidth,
                            paneWidth * 3 / 4);
    const double paneTop = s.smallDrawing.top() + s.smallDrawing.height();
    const double paneHeight = current.document.height() - s.smallDrawing.height();
    s.speciesTree = QRectF(current.speciesTree.left(), paneTop, paneWidth, paneHeight);
    s.speciesList = QRectF(current.speciesList.left(), paneTop,
                           std::abs(l - current.speciesList.left()), paneHeight);
    s.document = QRectF(l + b, current.document.top(), std::abs(w - l - b) - Margin,
                        current.document.height());
    return s;
}

}  // namespace shell
