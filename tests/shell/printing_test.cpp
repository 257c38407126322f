#include "commands/frmprint.h"
#include "commands/printcommand.h"
#include "mainwindowfixture.h"
#include "support/pdffiles.h"

#include <QDir>
#include <QFile>
#include <QPrinter>

using testing_support::colourBox;
using testing_support::PdfFile;
using testing_support::printToPdf;

namespace {

class PrintingTest : public MainWindowTest {
protected:
    // The next print dialog is confirmed, printing to a PDF file with copies.
    QString answerPrintDialog(const QString& name, int copies = 1) {
        const QString pdf = settingsDir.filePath(name);
        dialogs.printAnswers.push_back([pdf, copies](QPrinter& printer) {
            printToPdf(printer, pdf, copies, 150);
            return true;
        });
        return pdf;
    }
    QAction* printButton() {
        for (int n = 1; n <= 22; ++n)
            if (window->toolbarEntry(n)->data().toString() == "Print")
                return window->toolbarEntry(n);
        return nullptr;
    }
    void writeDocument(const QString& code, const QString& html, const QString& suffix = "_en") {
        const QString c = code.toLower();
        QDir().mkpath(base.dataDir() + c.left(1) + "/" + c);
        base.writeFile(c.left(1) + "/" + c + "/" + c + suffix + ".html", html.toUtf8());
    }
};

bool isLandscape(const QSizeF& page) {
    return page.width() > page.height();
}

}  // namespace

TEST_F(PrintingTest, PrintButtonPrintsTheDrawingOncePerCopyAndCtrlPIsTheSameCommand) {
    shell::frmMain& w = open();
    const QString pdf = answerPrintDialog("drawing.pdf", 2);
    // While the drawing prints the window breathes: Print and the report asked again then
    // must not start a second print on the same printer.
    int layers = 0;
    QObject::connect(&w.printing().progress(), &commands::frmPrint::valueChanged, [&] {
        ++layers;
        w.dispatcher().Traiter_Fichier("Print");
        w.menuAction("mnuFilePrintReport")->trigger();
    });
    ASSERT_TRUE(printButton());
    printButton()->trigger();
    EXPECT_EQ(layers, 2);
    ASSERT_EQ(dialogs.printTitles.size(), 1);
    const auto pages = PdfFile::pageSizes(pdf);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(isLandscape(pages[0]));
    // The layer's square, in the palette's first colour, is on the page.
    EXPECT_FALSE(colourBox(PdfFile::page(pdf, 2, 40), qRgb(0xFF, 0, 0)).isEmpty());
    EXPECT_FALSE(w.printing().progress().isVisible());

    QAction* menu = w.menuAction("mnuFilePrint");
    EXPECT_EQ(menu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    menu->trigger();  // cancelled: the script has no answer left
    EXPECT_EQ(dialogs.printTitles.size(), 2);
    EXPECT_EQ(PdfFile::pageSizes(pdf).size(), 2u) << "a cancelled dialog prints nothing";
}

TEST_F(PrintingTest, ThePictureOfChoicesPrintsOnceInLandscape) {
    shell::frmMain& w = open();
    w.openFromPanel("AILE");
    ASSERT_TRUE(w.pane("Pic_Choix")->isVisible());
    const QString pdf = answerPrintDialog("choices.pdf", 3);
    w.dispatcher().Traiter_Fichier("Print");
    const auto pages = PdfFile::pageSizes(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(isLandscape(pages[0]));
    // The picture (a PNG, whatever its name says) is printed: its first grey cell shows.
    EXPECT_FALSE(
        colourBox(PdfFile::page(pdf, 1, 40), QColor::fromHsv(0, 0, 80).rgb(), 6).isEmpty());
    EXPECT_EQ(w.printing().printer().pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(PrintingTest, ReportTellsTheAnswersTheRankingAndTheBestSpeciesDocument) {
    writeDocument("SP2",
                  "<html><body><h1>Beta beta</h1><div class=family>Family Betidae</div>"
                  "<nav><a href=\"sp2_ds.html\">Drawing sheet</a><a href=\"d.html\">Drawing</a>"
                  "</nav><p>Lives under stones.</p></body></html>");
    shell::frmMain& w = open();
    engine->state().StateChoice[3] = 1;  // Legs: the second state
    engine->state().FrameState[1] = -1;
    w.showRefresh(engine->Actualise_Identification());
    const QString pdf = answerPrintDialog("report.pdf");
    w.menuAction("mnuFilePrintReport")->trigger();
    const QString text = PdfFile::text(pdf).simplified();
    EXPECT_TRUE(text.contains("Identification report")) << text.toStdString();
    EXPECT_TRUE(text.contains("Legs:")) << text.toStdString();
    EXPECT_TRUE(text.contains("100% - Beta beta")) << text.toStdString();
    EXPECT_TRUE(text.contains("Document of Beta beta")) << text.toStdString();
    EXPECT_TRUE(text.contains("Lives under stones.")) << text.toStdString();
    // The document's row of links is no text for paper.
    EXPECT_TRUE(text.contains("Family Betidae Lives under stones.")) << text.toStdString();
    EXPECT_FALSE(text.contains("Drawing sheet")) << text.toStdString();
    EXPECT_FALSE(text.contains("share the best percentage")) << "one species is best alone";
    // Exactly the species listed, those at or above the list threshold.
    for (const QString& line : engine->listLines())
        EXPECT_TRUE(text.contains(line.simplified())) << line.toStdString();
    EXPECT_EQ(text.contains("Alpha alpha"), engine->listLines().join('\n').contains("Alpha alpha"));
    // The drawing as it stands is in the report.
    bool drawing = false;
    for (int p = 1; p <= int(PdfFile::pageSizes(pdf).size()); ++p)
        drawing = drawing || !colourBox(PdfFile::page(pdf, p, 30), qRgb(0xFF, 0, 0), 12).isEmpty();
    EXPECT_TRUE(drawing);
}

// Nothing answered: the three species tie. The report says so with their names and presents
// none as the answer; being few, their documents come with it, in the interface language.
TEST_F(PrintingTest, AReportOfATieNamesTheTiedSpeciesInTheInterfaceLanguage) {
    for (const char* code : {"SP1", "SP2", "SP3"}) {
        writeDocument(code, "<html><body><p>English text.</p></body></html>");
        writeDocument(
            code, QStringLiteral("<html><body><p>Texte de %1.</p></body></html>").arg(code), "_fr");
    }
    shell::frmMain& w = open(2);
    const QString pdf = answerPrintDialog("tie.pdf");
    w.menuAction("mnuFilePrintReport")->trigger();
    const QString text = PdfFile::text(pdf).simplified();
    EXPECT_TRUE(text.contains("3 espèces partagent le meilleur pourcentage")) << text.toStdString();
    for (const char* name : {"Alpha alpha", "Beta beta", "Gamma gamma"})
        EXPECT_TRUE(text.contains(name)) << name;
    EXPECT_TRUE(text.contains("Texte de SP1.")) << text.toStdString();
    EXPECT_TRUE(text.contains("Texte de SP3.")) << text.toStdString();
    EXPECT_FALSE(text.contains("English text.")) << text.toStdString();
}

TEST_F(PrintingTest, ABaseWithoutADrawingPrintsTheReportFromTheIdentificationView) {
    base.dropDrawing();
    base.write();
    base.writePictures();
    shell::frmMain& w = open();
    const QString pdf = answerPrintDialog("nodrawing.pdf");
    w.dispatcher().Traiter_Fichier("Print");
    const QString text = PdfFile::text(pdf);
    EXPECT_TRUE(text.contains("Identification report")) << text.toStdString();
    EXPECT_TRUE(text.contains("No question has been answered yet.")) << text.toStdString();
    EXPECT_FALSE(text.contains("Drawing"));
}
