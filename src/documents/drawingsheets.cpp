#include "documents/drawingsheets.h"

#include "documents/documentview.h"
#include "documents/frmlegende.h"
#include "documents/frmzoom.h"
#include "documents/zoomgeometry.h"

#include <QScreen>
#include <algorithm>

namespace documents {

DrawingSheets::DrawingSheets(const platform::Settings::Values& values, kb::Model& model,
                             DocumentView& view, QWidget* window, QWidget* splitter, Hooks hooks)
    : QObject(window),
      events_(values, model, hooks.species),
      view_(&view),
      splitter_(splitter),
      hooks_(std::move(hooks)) {
    legend_ = new frmLegende(window);
    zoom_ = new frmZoom(events_, window);
    connect(&view, &DocumentView::BeforeNavigate2, this,
            [this](const QString& url) { apply(events_.BeforeNavigate2(url)); });
    connect(&view, &DocumentView::DocumentComplete, this, [this] {
        apply(events_.DocumentComplete(view_->LocationURL(), legend_->isVisible()));
    });
    connect(&view, &DocumentView::loadEnded, this, [this] { apply(events_.loadEnded()); });
    view.setPictureHandler([this](PictureBridge::Kind kind, std::uint32_t serial,
                                  const PictureEvent& e) { onPicture(kind, serial, e); });
}

DrawingSheets::~DrawingSheets() {
    if (view_) view_->setPictureHandler({});
}

frmLegende& DrawingSheets::legend() {
    return *legend_;
}

frmZoom& DrawingSheets::zoom() {
    return *zoom_;
}

void DrawingSheets::onPicture(PictureBridge::Kind kind, std::uint32_t serial,
                              const PictureEvent& e) {
    const SheetWindows w = zoom_->windows(legend_->isVisible());
    if (kind == PictureBridge::Down) apply(events_.MouseDown(serial, e, w));
    if (kind == PictureBridge::Move) apply(events_.MouseMove(serial, e, w));
    // A click does nothing more: the script has already cancelled its default action.
}

void DrawingSheets::apply(const SheetActions& a) {
    if (a.hideZoom) zoom_->hide();
    if (a.hideLegend) legend_->hide();
    if (a.wirePictures && view_) view_->wirePictures(events_.documentSerial());
    if (a.showLegend) {
        const QString caption = hooks_.legendCaption ? hooks_.legendCaption() : QString();
        legend_->Show_Legend(caption, events_.LegendText, a.placeLegend ? splitter_ : nullptr);
    }
    if (a.pendingEvents && hooks_.pendingEvents) hooks_.pendingEvents();
    if (a.showZoom) {
        placeZoomOnce();
        zoom_->setWindowTitle(a.zoomCaption);
        zoom_->show();
        zoom_->raise();
    }
    if (a.repaintZoom) zoom_->Paint_Zoom();
    if (a.restorePointer && hooks_.restorePointer) hooks_.restorePointer();
    if (a.enableStop && hooks_.Enable_Button) hooks_.Enable_Button(QStringLiteral("Stop"));
    if (a.disableStop && hooks_.Disable_Button) hooks_.Disable_Button(QStringLiteral("Stop"));
}

// The first time it opens, the zoom window goes beside the page picture it steers, clear of
// it (narrowed when the screen is too small for both); afterwards it stays where the user
// leaves it.
void DrawingSheets::placeZoomOnce() {
    if (zoomPlaced_) return;
    zoomPlaced_ = true;
    const QWidget* owner = zoom_->parentWidget();
    const QScreen* screen = owner ? owner->screen() : nullptr;
    if (!screen || !view_) return;
    ZoomPlacement p;
    p.available = screen->availableGeometry();
    // The page picture stands at the sheet's origin, at a quarter of its size.
    const QSize page =
        events_.DocPicture().isNull() ? QSize(2200, 3300) : events_.DocPicture().size();
    const QRectF onSheet = pagePictureRect(QPoint(12, 72), page);
    p.picture = QRect(view_->mapToGlobal(onSheet.topLeft().toPoint()), onSheet.size().toSize());
    p.preferred = zoom_->size();
    const QRect inner = zoom_->geometry(), outer = zoom_->frameGeometry();
    p.frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                       outer.right() - inner.right(), outer.bottom() - inner.bottom());
    const QRect place = zoomWindowRect(p);
    zoom_->resize(place.width() - p.frame.left() - p.frame.right(),
                  place.height() - p.frame.top() - p.frame.bottom());
    zoom_->move(place.topLeft());
}

void DrawingSheets::prepareDocument() {
    apply(events_.prepareDocument());
}

void DrawingSheets::goingBack() {
    apply(events_.goingBack());
}

void DrawingSheets::identificationView() {
    zoom_->hide();
    events_.setDocPicture(QImage());
    legend_->hide();
}

void DrawingSheets::hideForQuestion() {
    zoomWasVisible_ = zoom_->isVisible();
    legendWasVisible_ = legend_->isVisible();
    zoom_->hide();
    legend_->hide();
}

void DrawingSheets::showAfterQuestion() {
    if (zoomWasVisible_) zoom_->show();
    if (legendWasVisible_) legend_->show();
}

}  // namespace documents
