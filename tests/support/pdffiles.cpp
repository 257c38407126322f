#include "support/pdffiles.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace testing_support {

namespace {

QByteArray run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) return {};
    return process.readAllStandardOutput();
}

}  // namespace

std::vector<QSizeF> PdfFile::pageSizes(const QString& path) {
    std::vector<QSizeF> sizes;
    if (!QFileInfo::exists(path)) return sizes;
    const QString info =
        QString::fromUtf8(run(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "9999", path}));
    static const QRegularExpression pageSize(
        QStringLiteral("^Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"),
        QRegularExpression::MultilineOption);
    for (auto m = pageSize.globalMatch(info); m.hasNext();) {
        const auto match = m.next();
        sizes.emplace_back(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return sizes;
}

QString PdfFile::text(const QString& path) {
    // Ligatures ("ﬁ") read back as the letters they join.
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), {"-layout", path, "-"}))
        .normalized(QString::NormalizationForm_KC);
}

QImage PdfFile::page(const QString& path, int page, int dpi) {
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {"-png", "-r", QString::number(dpi), "-f", QString::number(page), "-l",
         QString::number(page), "-singlefile", "-aa", "no", "-aaVector", "no", path, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

void printToPdf(QPrinter& printer, const QString& path, int copies, int dpi) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setCopyCount(copies);
    if (dpi > 0) printer.setResolution(dpi);
}

QRect colourBox(const QImage& image, QRgb colour, int tolerance) {
    QRect box;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = line[x];
            if (qAbs(qRed(p) - qRed(colour)) <= tolerance &&
                qAbs(qGreen(p) - qGreen(colour)) <= tolerance &&
                qAbs(qBlue(p) - qBlue(colour)) <= tolerance)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

}  // namespace testing_support
