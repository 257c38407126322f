#include "commands/drawingprinter.h"
#include "commands/frmprint.h"
#include "commands/pictureprinter.h"
#include "commands/printcommand.h"
#include "commands/printpages.h"
#include "platform/wmfwriter.h"
#include "support/pdffiles.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtEndian>

using namespace commands;
using testing_support::colourBox;
using testing_support::PdfFile;
using testing_support::printToPdf;

namespace {

const QRgb Red = qRgb(0xD0, 0x20, 0x20);
const QRgb Green = qRgb(0x20, 0xA0, 0x40);
const QRgb Blue = qRgb(0x20, 0x40, 0xC0);

// A drawing layer as the knowledge-base compiler writes it: one filled rectangle of a
// palette colour in a 2400 x 1800 window.
void writeLayer(const QString& path, QRgb colour, const QRect& rect) {
    platform::WmfWriter layer(QSize(2400, 1800));
    layer.selectObject(layer.createNullPen());
    layer.selectObject(layer.createSolidBrush(QColor(colour)));
    layer.rectangle(rect);
    QString error;
    ASSERT_TRUE(layer.save(path, &error)) << error.toStdString();
}

void putWord(QByteArray& out, int value) {
    const quint16 v = quint16(value);
    out.append(char(v & 0xFF)).append(char(v >> 8));
}

void putRecord(QByteArray& out, int function, const QList<int>& params) {
    const quint32 words = 3 + quint32(params.size());
    putWord(out, int(words & 0xFFFF));
    putWord(out, int(words >> 16));
    putWord(out, function);
    for (int p : params) putWord(out, p);
}

// A metafile written by hand: a solid rectangle, either inside a placeable bounding box or
// with a window the records set up themselves.
QByteArray handMadeMetafile(QRgb colour, const QRect& rect, const QRect* placeableBox,
                            const QRect* window) {
    QByteArray records;
    if (window) {
        putRecord(records, 0x020B, {window->top(), window->left()});
        putRecord(records, 0x020C, {window->height(), window->width()});
    }
    putRecord(records, 0x02FA, {5, 0, 0, 0, 0});  // a null pen
    putRecord(records, 0x012D, {0});
    putRecord(records, 0x02FC,
              {0, qRed(colour) | (qGreen(colour) << 8), qBlue(colour), 0});  // solid brush
    putRecord(records, 0x012D, {1});
    putRecord(records, 0x041B, {rect.bottom() + 1, rect.right() + 1, rect.top(), rect.left()});
    putRecord(records, 0, {});
    QByteArray out;
    if (placeableBox) {
        QByteArray header;
        putWord(header, 0xCDD7);
        putWord(header, 0x9AC6);
        putWord(header, 0);
        putWord(header, placeableBox->left());
        putWord(header, placeableBox->top());
        putWord(header, placeableBox->left() + placeableBox->width());
        putWord(header, placeableBox->top() + placeableBox->height());
        putWord(header, 1440);
        putWord(header, 0);
        putWord(header, 0);
        int checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= qFromLittleEndian<quint16>(header.constData() + 2 * i);
        putWord(header, checksum);
        out += header;
    }
    const quint32 total = 9 + quint32(records.size() / 2);
    putWord(out, 1);
    putWord(out, 9);
    putWord(out, 0x0300);
    putWord(out, int(total & 0xFFFF));
    putWord(out, int(total >> 16));
    putWord(out, 2);
    putWord(out, 8);
    putWord(out, 0);
    putWord(out, 0);
    return out + records;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool isLandscape(const QSizeF& page) {
    return page.width() > page.height();
}

// A box whose edges are within a few pixels of the expected ones.
void expectNear(const QRect& box, const QRect& expected, int slack = 3) {
    EXPECT_NEAR(box.left(), expected.left(), slack) << "left";
    EXPECT_NEAR(box.top(), expected.top(), slack) << "top";
    EXPECT_NEAR(box.right(), expected.right(), slack) << "right";
    EXPECT_NEAR(box.bottom(), expected.bottom(), slack) << "bottom";
}

class DrawingPrintTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    PrintOutcome print(const QStringList& layers, int copies, const QString& pdf) {
        printToPdf(printer, pdf, copies, 150);
        printer.setPageOrientation(QPageLayout::Portrait);
        return DrawingPrinter(progress).print(printer, layers, takeCopies(printer),
                                              {"Vireka", "Printing...", "&Cancel"});
    }

    QTemporaryDir dir;
    QPrinter printer{QPrinter::HighResolution};
    frmPrint progress;
};

}  // namespace

TEST_F(DrawingPrintTest, LayersArePlayedInOrderOnOneLandscapePageAndAMissingOneIsLeftOut) {
    writeLayer(path("body.wmf"), Red, QRect(0, 0, 1200, 1800));
    writeLayer(path("wing.wmf"), Green, QRect(600, 0, 1200, 900));  // over the body's right
    writeLayer(path("leg.wmf"), Blue, QRect(1800, 900, 600, 900));
    const QString pdf = path("drawing.pdf");
    const PrintOutcome out =
        print({path("body.wmf"), path("missing.wmf"), QString(), path("wing.wmf"), path("leg.wmf")},
              1, pdf);
    EXPECT_TRUE(out.error.isEmpty());
    EXPECT_FALSE(out.cancelled);
    EXPECT_EQ(out.pages, 1);
    EXPECT_EQ(out.leftOut, QStringList{path("missing.wmf")});

    const auto pages = PdfFile::pageSizes(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(isLandscape(pages[0]));
    const QImage page = PdfFile::page(pdf, 1, 50);
    ASSERT_FALSE(page.isNull());
    const QRect red = colourBox(page, Red), green = colourBox(page, Green),
                blue = colourBox(page, Blue);
    ASSERT_FALSE(red.isEmpty());
    ASSERT_FALSE(green.isEmpty());
    ASSERT_FALSE(blue.isEmpty());
    // The wing, played after the body, covers the body's upper right quarter.
    EXPECT_EQ(page.pixel(green.center()) | 0xFF000000u, Green | 0xFF000000u);
    EXPECT_NEAR(red.width(), green.width(), 3);
    EXPECT_NEAR(green.left(), red.left() + red.width() / 2, 3);
    EXPECT_NEAR(blue.bottom(), red.bottom(), 3);
    // The drawing keeps its shape (2400 x 1800) on the page.
    const QRect all = red | green | blue;
    EXPECT_NEAR(double(all.width()) / all.height(), 4.0 / 3.0, 0.03);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(DrawingPrintTest, CopiesAskedInTheDialogArePrintedOnceEachNotSquared) {
    writeLayer(path("body.wmf"), Red, QRect(0, 0, 2400, 1800));
    printToPdf(printer, path("x.pdf"), 3);
    EXPECT_EQ(takeCopies(printer), 3);
    EXPECT_EQ(printer.copyCount(), 1);

    const QString pdf = path("copies.pdf");
    int layersPlayed = 0;
    QObject::connect(&progress, &frmPrint::valueChanged, [&](int) { ++layersPlayed; });
    const PrintOutcome out = print({path("body.wmf")}, 3, pdf);
    EXPECT_EQ(out.pages, 3);
    EXPECT_EQ(layersPlayed, 3);
    const auto pages = PdfFile::pageSizes(pdf);
    ASSERT_EQ(pages.size(), 3u);
    for (const QSizeF& p : pages) EXPECT_TRUE(isLandscape(p));
}

TEST_F(DrawingPrintTest, CancelEndsTheWholeCommandLeavingNoFileAndTheWindowHidden) {
    for (const char* name : {"a.wmf", "b.wmf", "c.wmf"})
        writeLayer(path(name), Red, QRect(0, 0, 2400, 1800));
    const QString pdf = path("cancelled.pdf");
    int copiesStarted = 0;
    bool visibleWhilePrinting = false;
    QObject::connect(&progress, &frmPrint::valueChanged, [&](int layer) {
        if (layer == 0) ++copiesStarted;
        visibleWhilePrinting = visibleWhilePrinting || progress.isVisible();
        // The user presses Cancel during the second copy.
        if (copiesStarted == 2 && layer == 1) progress.Abord_But->click();
    });
    const PrintOutcome out = print({path("a.wmf"), path("b.wmf"), path("c.wmf")}, 4, pdf);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.pages, 1);
    EXPECT_EQ(copiesStarted, 2);
    EXPECT_TRUE(visibleWhilePrinting);
    EXPECT_EQ(progress.Attente->maximum(), 2);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);

    // The next print starts afresh.
    const PrintOutcome again = print({path("a.wmf")}, 1, pdf);
    EXPECT_FALSE(again.cancelled);
    EXPECT_EQ(PdfFile::pageSizes(pdf).size(), 1u);
}

TEST_F(DrawingPrintTest, APrinterThatCannotStartIsReportedAndEverythingIsPutBack) {
    writeLayer(path("body.wmf"), Red, QRect(0, 0, 2400, 1800));
    const QString pdf = path("no/such/folder/out.pdf");
    const PrintOutcome out = print({path("body.wmf")}, 2, pdf);
    EXPECT_EQ(out.error, pdf);
    EXPECT_EQ(out.pages, 0);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(DrawingPrintTest, PlaceableBoxesAnywhereAndWindowsTheFileSetsItselfAreMapped) {
    // A bounding box that does not start at 0 and whose edges add up past 16 bits; the
    // left half of the box is red.
    const QRect box(10000, 5000, 20000, 15000);
    writeBytes(path("placeable.wmf"),
               handMadeMetafile(Red, QRect(10000, 5000, 10000, 15000), &box, nullptr));
    // No placeable header: the records set their own window; its lower half is blue, played
    // over the red.
    const QRect window(500, 1000, 400, 300);
    writeBytes(path("window.wmf"),
               handMadeMetafile(Blue, QRect(500, 1150, 400, 150), nullptr, &window));
    const QString pdf = path("mapped.pdf");
    const PrintOutcome out = print({path("placeable.wmf"), path("window.wmf")}, 1, pdf);
    ASSERT_TRUE(out.leftOut.isEmpty());
    const QImage page = PdfFile::page(pdf, 1, 50);
    const QRect red = colourBox(page, Red), blue = colourBox(page, Blue);
    ASSERT_FALSE(red.isEmpty());
    ASSERT_FALSE(blue.isEmpty());
    // Both layers fill the same target: red its upper left quarter (the rest of its half is
    // under the blue), blue its lower half.
    const QRect target(blue.left(), red.top(), blue.width(), blue.bottom() - red.top() + 1);
    EXPECT_NEAR(double(target.width()) / target.height(), 4.0 / 3.0, 0.03);
    expectNear(red, QRect(target.left(), target.top(), target.width() / 2, target.height() / 2));
    expectNear(blue, QRect(target.left(), target.top() + target.height() / 2, target.width(),
                           target.height() / 2));
}

TEST(PagePicture, KeepsItsPhysicalSizeAtAnyPrinterResolution) {
    const QRectF printable(0, 0, 10000, 10000);
    // A 2200 x 3300 page scanned at 300 dpi is 7.33 x 11 inches wherever it prints.
    EXPECT_EQ(pagePictureRect({2200, 3300}, 150, 150, printable), QRectF(0, 0, 1100, 1650));
    EXPECT_EQ(pagePictureRect({2200, 3300}, 300, 300, printable), QRectF(0, 0, 2200, 3300));
    EXPECT_EQ(pagePictureRect({2200, 3300}, 600, 600, printable), QRectF(0, 0, 4400, 6600));
    EXPECT_EQ(pagePictureRect({2200, 3300}, 450, 450, printable), QRectF(0, 0, 3300, 4950));
    // Too large for the page: shrunk into it, shape kept, from the top-left corner.
    EXPECT_EQ(pagePictureRect({2200, 3300}, 600, 600, QRectF(10, 20, 3000, 6000)),
              QRectF(10, 20, 3000, 4500));
    EXPECT_TRUE(pagePictureRect({}, 600, 600, printable).isEmpty());
    EXPECT_TRUE(pagePictureRect({10, 10}, 0, 600, printable).isEmpty());
}

TEST(PagePicture, PrintsTheSameSizeOnPaperAt150And600DpiOnePagePerCopy) {
    QTemporaryDir dir;
    QImage picture(600, 300, QImage::Format_RGB32);  // 2 x 1 inches at 300 dpi
    picture.fill(QColor(Green));
    for (int dpi : {150, 600}) {
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = dir.filePath(QStringLiteral("page%1.pdf").arg(dpi));
        printToPdf(printer, pdf, 2, dpi);
        const PrintOutcome out = printPagePicture(printer, picture, takeCopies(printer));
        EXPECT_EQ(out.pages, 2);
        ASSERT_EQ(PdfFile::pageSizes(pdf).size(), 2u) << dpi;
        const QRect box = colourBox(PdfFile::page(pdf, 2, 72), Green, 12);
        EXPECT_NEAR(box.width(), 144, 2) << dpi;
        EXPECT_NEAR(box.height(), 72, 2) << dpi;
    }
}

TEST(ChoicePicture, PrintsOnceInLandscapeWhateverTheCopiesAndLeavesPortrait) {
    QTemporaryDir dir;
    QImage grid(120, 80, QImage::Format_RGB32);
    grid.fill(QColor(Blue));
    ASSERT_TRUE(grid.save(dir.filePath("choices.png")));
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = dir.filePath("choices.pdf");
    printToPdf(printer, pdf, 3, 150);
    takeCopies(printer);
    const PrintOutcome out = printChoicePicture(printer, dir.filePath("choices.png"));
    EXPECT_EQ(out.pages, 1);
    const auto pages = PdfFile::pageSizes(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(isLandscape(pages[0]));
    const QRect box = colourBox(PdfFile::page(pdf, 1, 50), Blue, 12);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR(double(box.width()) / box.height(), 1.5, 0.03);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);

    // A picture that cannot be read prints no empty page.
    const QString none = dir.filePath("none.pdf");
    printToPdf(printer, none);
    const PrintOutcome missing = printChoicePicture(printer, dir.filePath("gone.png"));
    EXPECT_EQ(missing.jobs, 0);
    EXPECT_FALSE(QFile::exists(none));
}

TEST(PrintSubject, FollowsWhatTheWindowShows) {
    PrintScene scene;
    EXPECT_EQ(printSubject(scene), PrintSubject::Report);  // a base without a drawing
    scene.choicesShown = true;
    EXPECT_EQ(printSubject(scene), PrintSubject::Choices);
    scene.drawingShown = true;
    EXPECT_EQ(printSubject(scene), PrintSubject::Drawing);
    scene.documentShown = true;
    EXPECT_EQ(printSubject(scene), PrintSubject::Document);
    // A picture left from a sheet is not printed for a drawing page reached from it.
    scene.pagePicture = QImage(4, 4, QImage::Format_RGB32);
    EXPECT_EQ(printSubject(scene), PrintSubject::Document);
    scene.sheetShown = true;
    EXPECT_EQ(printSubject(scene), PrintSubject::PagePicture);
    // Web documents print through the browser, sheets included.
    scene.localDocuments = false;
    EXPECT_EQ(printSubject(scene), PrintSubject::Document);
    // A sheet whose picture is missing prints as a document.
    scene.localDocuments = true;
    scene.pagePicture = QImage();
    EXPECT_EQ(printSubject(scene), PrintSubject::Document);
}

TEST(IdentificationReport, HoldsTheAnswersRankingDrawingAndBestDocumentInTheLanguage) {
    QTemporaryDir dir;
    ReportContent content;
    content.date = QDateTime(QDate(2026, 3, 15), QTime(10, 30));
    content.baseName = "Dragonflies of Europe";
    content.answers = {{"Colour of the eyes", {"blue", "green"}}, {"Wings", {"clear"}}};
    content.ranked = {"100% - Aeshna cyanea", "75% - Anax imperator"};
    content.drawing = QImage(400, 300, QImage::Format_RGB32);
    content.drawing.fill(QColor(Red));
    content.documents = {
        {"Aeshna cyanea", {{1, "Southern hawker"}, {0, "A large dragonfly of ponds."}}}};
    ReportTexts texts{"Rapport d'identification",
                      "Base de connaissances : %1",
                      "Imprimé le %1",
                      "Questions répondues",
                      "Aucune",
                      "Espèces classées",
                      "Dessin",
                      "Document de %1",
                      "fr",
                      "et %1 de plus",
                      "%1 espèces partagent le meilleur pourcentage, %2 % :"};
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = dir.filePath("report.pdf");
    printToPdf(printer, pdf);
    const PrintOutcome out = printReport(printer, content, texts);
    EXPECT_TRUE(out.error.isEmpty());
    const QString text = PdfFile::text(pdf).simplified();
    for (const char* wanted :
         {"Rapport d'identification", "Base de connaissances : Dragonflies of Europe",
          "15 mars 2026", "Colour of the eyes: blue, green", "Wings: clear", "100% - Aeshna cyanea",
          "75% - Anax imperator", "Document de Aeshna cyanea", "A large dragonfly of ponds."})
        EXPECT_TRUE(text.contains(QString::fromUtf8(wanted))) << wanted << "\n"
                                                              << text.toStdString();
    EXPECT_FALSE(text.contains("Aucune"));
    bool drawingFound = false;
    for (int p = 1; p <= int(PdfFile::pageSizes(pdf).size()); ++p)
        drawingFound = drawingFound || !colourBox(PdfFile::page(pdf, p, 30), Red).isEmpty();
    EXPECT_TRUE(drawingFound);

    // Nothing answered, no drawing, no document: the report says so and still prints.
    const QString empty = dir.filePath("empty.pdf");
    printToPdf(printer, empty);
    printReport(printer, ReportContent{}, texts);
    const QString emptyText = PdfFile::text(empty);
    EXPECT_TRUE(emptyText.contains("Aucune"));
    EXPECT_FALSE(emptyText.contains("Dessin"));
}

namespace {

// The heading level of the first block holding text; -1 when none does.
int headingOf(const QTextDocument& document, const QString& text) {
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        if (b.text().contains(text)) return b.blockFormat().headingLevel();
    return -1;
}

}  // namespace

// The report lists what the species list shows, cut to a readable length; a tie at the top is
// said as a tie, with every tied name, and the document's headings stay headings.
TEST(IdentificationReport, ListsAReadableRankingSaysTiesAndKeepsHeadings) {
    ReportContent content;
    for (int i = 0; i < 49; ++i) content.ranked << QStringLiteral(" 0% - Species %1").arg(i);
    for (int i = 0; i < 22; ++i) content.tiedSpecies << QStringLiteral("Tied %1").arg(i);
    content.tiedPercent = 100;
    content.documents = {{"Tied 0", {{1, "Tied zero"}, {0, "Its text."}}}};
    ReportTexts texts;
    texts.title = "Report";
    texts.rankedHeading = "Species ranked";
    texts.documentHeading = "Document of %1";
    texts.moreLine = "and %1 more";
    texts.tieLine = "%1 species share the best percentage, %2 %:";
    QTextDocument document;
    fillReport(document, content, texts);
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Species %1").arg(ReportListedSpecies - 1)));
    EXPECT_FALSE(text.contains(QStringLiteral("Species %1").arg(ReportListedSpecies)));
    EXPECT_TRUE(text.contains(QStringLiteral("and %1 more").arg(49 - ReportListedSpecies)));
    EXPECT_TRUE(text.contains("22 species share the best percentage, 100 %:"));
    EXPECT_TRUE(text.contains("Tied 0"));
    EXPECT_TRUE(text.contains(QStringLiteral("and %1 more").arg(22 - ReportListedSpecies)));
    EXPECT_GT(headingOf(document, "Tied zero"), headingOf(document, "Document of Tied 0"));
    EXPECT_GT(headingOf(document, "Document of Tied 0"), 0);
    EXPECT_EQ(headingOf(document, "Its text."), 0);
}
