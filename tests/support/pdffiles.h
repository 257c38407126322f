#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <vector>

class QPrinter;

namespace testing_support {

// Reads printed PDF files back with poppler's tools (poppler-utils), as a person opening
// them would see them.
struct PdfFile {
    // Page sizes in points; empty when the file is missing or not a PDF.
    static std::vector<QSizeF> pageSizes(const QString& path);
    static QString text(const QString& path);
    // Page (1-based) rasterised at dpi, antialiasing of vectors off so filled areas keep
    // their exact colour; null when it cannot be made.
    static QImage page(const QString& path, int page, int dpi);
};

// Sets the printer up as a user would in the print dialog: a PDF file, copies, resolution.
void printToPdf(QPrinter& printer, const QString& path, int copies = 1, int dpi = 0);

// The bounding box of the pixels of colour, each channel within tolerance (pictures may be
// stored compressed in a PDF; filled vector areas keep their exact colour); empty when none.
QRect colourBox(const QImage& image, QRgb colour, int tolerance = 0);

}  // namespace testing_support
