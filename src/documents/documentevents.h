#pragma once

#include "documents/zoomgeometry.h"
#include "platform/settings.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>

namespace kb {
class Model;
}

namespace documents {

// The species whose document is open, as the species list and tree set it.
struct OpenSpecies {
    QString DocCode;
    QString DocSpecies;
    QString DocFamily;
    QString DocSuffix;
};

// A mouse event on a picture of the drawing sheet: the picture's full URL, the pointer in
// the document's window and the document's scroll offsets, all in document pixels.
struct PictureEvent {
    QString href;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
};

// What the legend and zoom windows look like at the moment of an event.
struct SheetWindows {
    bool legendVisible = false;
    bool zoomVisible = false;
    QSizeF zoomScale;  // the zoom window's inner size, twips
    TwipsPerPixel twips;
};

// What the windows must do after an event; the owner of the windows carries it out in the
// order of the fields.
struct SheetActions {
    bool hideZoom = false;
    bool hideLegend = false;
    bool showLegend = false;   // with LegendText, drawn at the corner
    bool placeLegend = false;  // ... and placed beside the splitter first
    bool showZoom = false;     // with zoomCaption, kept on top
    QString zoomCaption;
    bool repaintZoom = false;
    bool enableStop = false;
    bool disableStop = false;
    bool pendingEvents = false;
    bool restorePointer = false;
    bool wirePictures = false;  // the pictures of the document report their mouse events
};

// The events of the document view and of the pictures of a drawing sheet, without any
// window: it keeps the legend, the page picture and the zoom position, and says what the
// legend window, the zoom window and the toolbar must do.
class DocumentEvents {
public:
    // values and model must outlive this object; species is asked at every event.
    DocumentEvents(const platform::Settings::Values& values, kb::Model& model,
                   std::function<OpenSpecies()> species);

    QString LegendText;
    const std::int32_t ImgOriginX = 12;
    const std::int32_t ImgOriginY = 72;
    std::int32_t ImgX = 0;
    std::int32_t ImgY = 0;
    std::int32_t ZoomX = 0;
    std::int32_t ZoomY = 0;

    // The full-size page picture of the drawing sheet shown; null when there is none.
    const QImage& DocPicture() const { return docPicture_; }
    // The open species' drawing sheet is the document shown (its picture may be missing).
    bool sheetShown() const { return sheetShown_; }
    // Counts the completed documents: picture events carry the count of their document, and
    // those of an earlier one are dropped.
    std::uint32_t documentSerial() const { return serial_; }

    // A species document is about to be opened from the list or the tree.
    SheetActions prepareDocument();
    SheetActions BeforeNavigate2(const QString& url) const;
    // The top-level document url is complete.
    SheetActions DocumentComplete(const QString& url, bool legendVisible);
    // The top-level load ended, complete, failed or stopped.
    SheetActions loadEnded() const;
    // Back: the zoom and the legend go.
    SheetActions goingBack() const;

    SheetActions MouseDown(std::uint32_t serial, const PictureEvent& e, const SheetWindows& w);
    SheetActions MouseMove(std::uint32_t serial, const PictureEvent& e, const SheetWindows& w);

    // A drag inside the zoom window from the last pointer position to pointer, twips.
    bool drag(QPoint last, QPointF pointer, const SheetWindows& w);

    // The file of the page picture of a species' drawing sheet under the documents folder;
    // empty when the code would lead out of it.
    static QString pagePicturePath(const QString& docAddress, const QString& code);
    static bool isDrawingSheet(const QString& url, const QString& code);
    static bool isDrawingPage(const QString& url);

    // Replaces the page picture (the file's picture, or none).
    void setDocPicture(const QImage& picture) { docPicture_ = picture; }

private:
    bool localDocuments() const;
    bool onPagePicture() const;
    bool moveZoom(const SheetWindows& w);
    bool takePosition(std::uint32_t serial, const PictureEvent& e);
    void loadPagePicture(const OpenSpecies& s, bool* missing);

    const platform::Settings::Values& values_;
    kb::Model& model_;
    std::function<OpenSpecies()> species_;
    QImage docPicture_;
    std::uint32_t serial_ = 0;
    bool sheetShown_ = false;
};

}  // namespace documents
