#include "documents/drawingsheets.h"

#include "documents/documentview.h"
#include "documents/frmlegende.h"
#include "documents/frmzoom.h"

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

// The first time it opens, the zoom window goes to the right of the screen, clear of the
// sheet and of the menus; afterwards it stays where the user leaves it.
void DrawingSheets::placeZoomOnce() {
    if (zoomPlaced_) return;
    zoomPlaced_ = true;
    const QWidget* owner = zoom_->parentWidget();
    const QScreen* screen = owner ? owner->screen() : nullptr;
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    zoom_->move(std::max(area.left(), area.right() - zoom_->frameGeometry().width() - 16),
                area.top() + std::min(96, area.height() / 8));
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
