#include "documents/documentevents.h"

#include "documents/documentfolders.h"
#include "kb/model.h"
#include "platform/paths.h"

#include <limits>

namespace documents {

namespace {

bool add32(std::int32_t a, std::int32_t b, std::int32_t* sum) {
    const std::int64_t s = std::int64_t(a) + b;
    if (s < std::numeric_limits<std::int32_t>::min() ||
        s > std::numeric_limits<std::int32_t>::max())
        return false;
    *sum = static_cast<std::int32_t>(s);
    return true;
}

}  // namespace

DocumentEvents::DocumentEvents(const platform::Settings::Values& values, kb::Model& model,
                               std::function<OpenSpecies()> species)
    : values_(values), model_(model), species_(std::move(species)) {}

bool DocumentEvents::localDocuments() const {
    return values_.DocSource == QLatin1String("hd");
}

QString DocumentEvents::pagePicturePath(const QString& docAddress, const QString& code) {
    if (!isPlainCode(code)) return {};
    const QString c = code.toLower();
    return docAddress + c.left(1) + QLatin1Char('\\') + c + QLatin1Char('\\') + c +
           QLatin1String(".gif");
}

bool DocumentEvents::isDrawingSheet(const QString& url, const QString& code) {
    return url.toLower().endsWith(code.toLower() + QLatin1String("_ds.html"));
}

bool DocumentEvents::isDrawingPage(const QString& url) {
    return url.size() > 16 && url.right(17).startsWith(QLatin1String("dessin"));
}

SheetActions DocumentEvents::prepareDocument() {
    SheetActions a;
    a.hideZoom = true;
    a.hideLegend = true;
    docPicture_ = QImage();
    LegendText.clear();
    sheetShown_ = false;
    ++serial_;
    return a;
}

SheetActions DocumentEvents::goingBack() const {
    SheetActions a;
    a.hideZoom = true;
    a.hideLegend = true;
    return a;
}

SheetActions DocumentEvents::BeforeNavigate2(const QString& url) const {
    SheetActions a;
    if (url.size() <= 16) return a;
    if (isDrawingPage(url) && !LegendText.isEmpty()) a.showLegend = true;
    if (!localDocuments()) a.enableStop = true;
    return a;
}

void DocumentEvents::loadPagePicture(const OpenSpecies& s, bool* missing) {
    *missing = false;
    const QString path = pagePicturePath(values_.DocAddress, s.DocCode);
    const QString local = platform::toLocalPath(path);
    // A picture outside the documents folder is not the sheet's: as good as missing.
    if (path.isEmpty() || !liesInside(local, {platform::toLocalPath(values_.DocAddress)})) {
        *missing = true;
        docPicture_ = QImage();
        return;
    }
    const QImage picture = readPagePicture(local, missing);
    if (*missing) {
        docPicture_ = QImage();
    } else if (!picture.isNull()) {
        docPicture_ = picture;
    }
    // Any other failure leaves the picture as it was.
}

SheetActions DocumentEvents::DocumentComplete(const QString& url, bool legendVisible) {
    SheetActions a;
    ++serial_;
    const OpenSpecies s = species_ ? species_() : OpenSpecies();
    sheetShown_ = isDrawingSheet(url, s.DocCode);
    if (sheetShown_) {
        a.wirePictures = true;
        if (!legendVisible) {
            bool ok = false;
            const QVariant legend = model_.FloraTable.field(QStringLiteral("Legende"), &ok);
            if (!ok || legend.isNull()) {
                LegendText.clear();
            } else {
                LegendText = legend.toString();
                a.showLegend = true;
                a.placeLegend = true;
                a.pendingEvents = true;
            }
        }
    } else {
        a.hideZoom = true;
        a.hideLegend = true;
    }
    if (sheetShown_ && localDocuments()) {
        bool missing = false;
        loadPagePicture(s, &missing);
        if (missing) return a;
    }
    a.restorePointer = true;
    return a;
}

SheetActions DocumentEvents::loadEnded() const {
    SheetActions a;
    a.disableStop = true;
    return a;
}

bool DocumentEvents::onPagePicture() const {
    if (docPicture_.isNull()) return false;
    const QRectF page = pagePictureRect(QPoint(ImgOriginX, ImgOriginY), docPicture_.size());
    return ImgX >= page.left() && ImgX < page.right() && ImgY >= page.top() && ImgY < page.bottom();
}

bool DocumentEvents::moveZoom(const SheetWindows& w) {
    const ZoomAxis ax{w.twips.x, float(w.zoomScale.width()), docPicture_.width()};
    const ZoomAxis ay{w.twips.y, float(w.zoomScale.height()), docPicture_.height()};
    const auto x = zoomPosition(ImgX, ImgOriginX, ax);
    const auto y = zoomPosition(ImgY, ImgOriginY, ay);
    if (!x || !y) return false;
    ZoomX = *x;
    ZoomY = *y;
    return true;
}

// The document position of an event of the sheet shown: the event's plus the scroll offsets.
bool DocumentEvents::takePosition(std::uint32_t serial, const PictureEvent& e) {
    std::int32_t x = 0, y = 0;
    if (serial != serial_ || !sheetShown_ || !add32(e.x, e.dx, &x) || !add32(e.y, e.dy, &y))
        return false;
    ImgX = x;
    ImgY = y;
    return true;
}

SheetActions DocumentEvents::MouseDown(std::uint32_t serial, const PictureEvent& e,
                                       const SheetWindows& w) {
    SheetActions a;
    if (!takePosition(serial, e)) return a;
    if (!LegendText.isEmpty() && !w.legendVisible) {
        a.showLegend = true;
        a.placeLegend = true;
    }
    // Only the page picture opens and steers the zoom; the sheet's other pictures do not.
    if (!onPagePicture() || !localDocuments()) return a;
    if (!w.zoomVisible) {
        a.showZoom = true;
        const OpenSpecies s = species_ ? species_() : OpenSpecies();
        a.zoomCaption =
            QStringLiteral("Zoom 4x : ") + s.DocSpecies + QStringLiteral(" - ") + s.DocFamily;
    }
    a.repaintZoom = moveZoom(w);
    return a;
}

SheetActions DocumentEvents::MouseMove(std::uint32_t serial, const PictureEvent& e,
                                       const SheetWindows& w) {
    SheetActions a;
    if (!takePosition(serial, e)) return a;
    if (onPagePicture()) a.repaintZoom = moveZoom(w);
    return a;
}

bool DocumentEvents::drag(QPoint last, QPointF pointer, const SheetWindows& w) {
    const ZoomAxis ax{w.twips.x, float(w.zoomScale.width()), docPicture_.width()};
    const ZoomAxis ay{w.twips.y, float(w.zoomScale.height()), docPicture_.height()};
    const auto y = dragZoom(last.y(), ZoomY, float(pointer.y()), ay);
    const auto x = dragZoom(last.x(), ZoomX, float(pointer.x()), ax);
    if (!x || !y) return false;
    ZoomX = *x;
    ZoomY = *y;
    return true;
}

}  // namespace documents
