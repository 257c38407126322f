#pragma once

#include <QPageLayout>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;
class QPrinter;

namespace commands {

// The copies asked in the print dialog, taken off the printer. Qt's dialog leaves the count
// on the printer, which then repeats every job that many times: a loop over the copies that
// left it there would print n * n of them.
int takeCopies(QPrinter& printer);

// True when the printer writes a file: a file holds one job, so copies become its pages.
bool printsToFile(const QPrinter& printer);

// Starts the page of the next copy: a job of its own on a printer, the next page of the same
// job in a file (painter still active). False, with the printer named in error, when no job
// can start; jobs counts the jobs started.
bool beginCopy(QPainter& painter, QPrinter& printer, int* jobs, QString* error);

// The file or printer a job goes to, to name it in a message.
QString printerLabel(const QPrinter& printer);

// Turns the printer to an orientation for the life of the object and puts back the one it
// had, whatever happens in between.
class OrientationGuard {
public:
    OrientationGuard(QPrinter& printer, QPageLayout::Orientation orientation);
    ~OrientationGuard();
    OrientationGuard(const OrientationGuard&) = delete;
    OrientationGuard& operator=(const OrientationGuard&) = delete;

private:
    QPrinter& printer_;
    QPageLayout::Orientation previous_;
};

// The printable area of the page in device pixels, from the painter's origin.
QRectF printableRect(const QPrinter& printer);

// The largest rectangle of size's shape inside area, centred; empty for an empty size.
QRectF fitCentred(QSizeF size, const QRectF& area);

// A page picture is scanned at 300 dots an inch: on a printer of dpiX x dpiY it keeps its
// physical size, from the top-left corner of the printable area, shrunk (aspect kept) when
// it would not fit.
QRectF pagePictureRect(QSize picture, int dpiX, int dpiY, const QRectF& printable);

}  // namespace commands
