#pragma once

#include "documents/documentevents.h"
#include "documents/picturebridge.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace documents {

class DocumentView;
class frmLegende;
class frmZoom;

// The living drawing sheets of the document view: it feeds the view's events and the
// pictures' mouse events to DocumentEvents and carries out what it answers on the legend
// window, the zoom window and the main toolbar.
class DrawingSheets : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(const QString& key)> Enable_Button;
        std::function<void(const QString& key)> Disable_Button;
        std::function<void()> pendingEvents;
        std::function<void()> restorePointer;
        std::function<QString()> legendCaption;  // string 1400
        std::function<OpenSpecies()> species;
    };

    // The legend and zoom windows are made here, hidden, as children of window; splitter
    // is what the legend window is placed beside. Everything named must outlive this.
    DrawingSheets(const platform::Settings::Values& values, kb::Model& model, DocumentView& view,
                  QWidget* window, QWidget* splitter, Hooks hooks);
    ~DrawingSheets() override;

    DocumentEvents& events() { return events_; }
    frmLegende& legend();
    frmZoom& zoom();

    // Before a species document from the list or the tree.
    void prepareDocument();
    // Back, and the identification view: both windows go (the view also drops the picture).
    void goingBack();
    void identificationView();
    // While the main window asks whether to close: hidden, then shown again if it stays.
    void hideForQuestion();
    void showAfterQuestion();

private:
    void apply(const SheetActions& a);
    void placeZoomOnce();
    void onPicture(PictureBridge::Kind kind, std::uint32_t serial, const PictureEvent& e);

    DocumentEvents events_;
    QPointer<DocumentView> view_;
    QPointer<QWidget> splitter_;
    Hooks hooks_;
    QPointer<frmLegende> legend_;
    QPointer<frmZoom> zoom_;
    bool legendWasVisible_ = false;
    bool zoomWasVisible_ = false;
    bool zoomPlaced_ = false;
};

}  // namespace documents
