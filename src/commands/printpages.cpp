#include "commands/printpages.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace commands {

namespace {
constexpr double PagePictureDpi = 300.0;
}

int takeCopies(QPrinter& printer) {
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    return copies;
}

bool printsToFile(const QPrinter& printer) {
    return !printer.outputFileName().isEmpty();
}

QString printerLabel(const QPrinter& printer) {
    if (printsToFile(printer)) return printer.outputFileName();
    const QString name = printer.printerName();
    return name.isEmpty() ? QStringLiteral("?") : name;
}

OrientationGuard::OrientationGuard(QPrinter& printer, QPageLayout::Orientation orientation)
    : printer_(printer), previous_(printer.pageLayout().orientation()) {
    printer_.setPageOrientation(orientation);
}

OrientationGuard::~OrientationGuard() {
    printer_.setPageOrientation(previous_);
}

QRectF printableRect(const QPrinter& printer) {
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    return QRectF(QPointF(0, 0), QSizeF(paint.size()));
}

QRectF fitCentred(QSizeF size, const QRectF& area) {
    if (size.isEmpty() || area.isEmpty()) return {};
    const QSizeF fitted = size.scaled(area.size(), Qt::KeepAspectRatio);
    return QRectF(area.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
}

QRectF pagePictureRect(QSize picture, int dpiX, int dpiY, const QRectF& printable) {
    if (picture.isEmpty() || dpiX <= 0 || dpiY <= 0 || printable.isEmpty()) return {};
    QSizeF size(picture.width() * dpiX / PagePictureDpi, picture.height() * dpiY / PagePictureDpi);
    if (size.width() > printable.width() || size.height() > printable.height())
        size = size.scaled(printable.size(), Qt::KeepAspectRatio);
    return QRectF(printable.topLeft(), size);
}

bool beginCopy(QPainter& painter, QPrinter& printer, int* jobs, QString* error) {
    if (painter.isActive()) {
        printer.newPage();
        return true;
    }
    if (!painter.begin(&printer)) {
        *error = printerLabel(printer);
        return false;
    }
    ++*jobs;
    return true;
}

}  // namespace commands
