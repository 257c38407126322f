#include "commands/pictureprinter.h"

#include "commands/printpages.h"
#include "platform/paths.h"
#include "platform/picture.h"

#include <QPainter>
#include <QPrinter>

namespace commands {

PrintOutcome printPagePicture(QPrinter& printer, const QImage& picture, int copies) {
    PrintOutcome outcome;
    const bool oneJob = printsToFile(printer);
    QPainter painter;
    for (int copy = 0; copy < copies; ++copy) {
        if (!beginCopy(painter, printer, &outcome.jobs, &outcome.error)) return outcome;
        const QRectF target = pagePictureRect(picture.size(), printer.logicalDpiX(),
                                              printer.logicalDpiY(), printableRect(printer));
        if (!target.isEmpty()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, picture);
        }
        ++outcome.pages;
        if (!oneJob) painter.end();
    }
    if (painter.isActive()) painter.end();
    return outcome;
}

PrintOutcome printChoicePicture(QPrinter& printer, const QString& path) {
    PrintOutcome outcome;
    QString error;
    const platform::Picture picture = platform::Picture::load(platform::toLocalPath(path), &error);
    if (picture.isNull()) {
        // Nothing to print: no empty page is wasted.
        outcome.leftOut << path;
        return outcome;
    }
    const OrientationGuard landscape(printer, QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) {
        outcome.error = printerLabel(printer);
        return outcome;
    }
    ++outcome.jobs;
    const QRectF area = printableRect(printer);
    QRectF target = fitCentred(picture.naturalSize(), area);
    if (target.isEmpty()) target = area;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    picture.paint(painter, target);
    painter.end();
    ++outcome.pages;
    return outcome;
}

}  // namespace commands
