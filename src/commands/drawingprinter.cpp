#include "commands/drawingprinter.h"

#include "commands/frmprint.h"
#include "commands/printpages.h"
#include "platform/paths.h"
#include "platform/picture.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>

namespace commands {

void abandonJob(QPainter& painter, QPrinter& printer) {
    const QString file = printer.outputFileName();
    if (!printer.abort() && painter.isActive()) painter.end();
    if (!file.isEmpty()) QFile::remove(file);
}

bool DrawingPrinter::Print_Drawing(QPainter& painter, const QRectF& area,
                                   const QStringList& layerPaths, QStringList* leftOut) {
    QRectF target;  // every layer shares the rectangle of the first one read
    for (int d = 0; d < layerPaths.size(); ++d) {
        progress_.setValue(d);
        // The window breathes once per layer: the bar moves and Cancel is heard here.
        QCoreApplication::processEvents();
        if (progress_.PrintCancelled()) return false;
        if (layerPaths[d].isEmpty()) continue;
        const platform::Picture layer =
            platform::Picture::load(platform::toLocalPath(layerPaths[d]));
        if (layer.isNull()) {
            if (leftOut) *leftOut << layerPaths[d];
            continue;
        }
        if (target.isEmpty()) target = fitCentred(layer.naturalSize(), area);
        if (target.isEmpty()) target = area;
        layer.paint(painter, target);
    }
    return true;
}

PrintOutcome DrawingPrinter::print(QPrinter& printer, const QStringList& layerPaths, int copies,
                                   const ProgressTexts& texts) {
    PrintOutcome outcome;
    const OrientationGuard landscape(printer, QPageLayout::Landscape);
    progress_.start(texts.caption, texts.label, texts.cancel, int(layerPaths.size()) - 1);
    QCoreApplication::processEvents();
    const auto hide = qScopeGuard([this] { progress_.hide(); });
    const bool oneJob = printsToFile(printer);
    QPainter painter;
    for (int copy = 0; copy < copies; ++copy) {
        if (!beginCopy(painter, printer, &outcome.jobs, &outcome.error)) return outcome;
        QStringList leftOut;
        if (!Print_Drawing(painter, printableRect(printer), layerPaths, &leftOut)) {
            abandonJob(painter, printer);
            outcome.cancelled = true;
            return outcome;
        }
        if (copy == 0) outcome.leftOut = leftOut;
        ++outcome.pages;
        if (!oneJob) painter.end();
    }
    if (painter.isActive()) painter.end();
    return outcome;
}

}  // namespace commands
