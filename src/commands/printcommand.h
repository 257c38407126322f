#pragma once

#include "commands/drawingprinter.h"
#include "commands/identificationreport.h"

#include <QImage>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace engine {
class Engine;
}
namespace platform {
class Dialogs;
}

namespace commands {

class frmPrint;

// What the main window shows when Print is asked.
struct PrintScene {
    bool documentShown = false;
    bool localDocuments = true;  // documents come from the disk, not from the web
    bool sheetShown = false;     // the open species' drawing sheet, its page picture loaded
    QImage pagePicture;
    bool drawingShown = false;
    bool choicesShown = false;
};

enum class PrintSubject { Document, PagePicture, Drawing, Choices, Report };

// What Print prints: a document through the view's own printing, except the drawing sheet of
// a local species whose page picture is loaded; else the drawing, else the picture of
// choices; with none of them (a base without a drawing, between questions) the report.
PrintSubject printSubject(const PrintScene& scene);

// The Print command and the identification report. The window says what it shows and
// prints documents with its own view; the rest is printed here.
class PrintCommand {
public:
    using TextLookup = std::function<std::optional<QString>(int)>;
    struct Hooks {
        std::function<PrintScene()> scene;
        // Prints the document shown on printer, kept alive until the page has printed;
        // false when a document is still printing.
        std::function<bool(std::unique_ptr<QPrinter> printer)> printDocument;
        std::function<ReportContent()> report;
        std::function<QString()> locale;  // "en", "es" or "fr"
    };

    PrintCommand(engine::Engine& engine, platform::Dialogs& dialogs, TextLookup texts,
                 QString descriptorDir, QWidget* owner, Hooks hooks);
    ~PrintCommand();

    void setDescriptorDir(const QString& dir) { descriptorDir_ = dir; }

    // "Print": chooses what to print, asks the print dialog and prints. A Print or a report
    // asked while one is printing does nothing.
    void Print();
    // "Print identification report...".
    void printIdentificationReport();

    frmPrint& progress();
    // What the last print did; the tests and the status read it.
    const PrintOutcome& lastOutcome() const { return outcome_; }
    QPrinter& printer();

private:
    QString text(int k) const;
    bool askPrinter(QPrinter& printer);
    void report(const PrintOutcome& outcome);
    ReportTexts reportTexts() const;

    engine::Engine& engine_;
    platform::Dialogs& dialogs_;
    TextLookup texts_;
    QString descriptorDir_;
    QPointer<QWidget> owner_;
    Hooks hooks_;
    // The printer and its settings are kept between prints, as the user chose them.
    std::unique_ptr<QPrinter> printer_;
    QPointer<frmPrint> progress_;
    PrintOutcome outcome_;
    bool busy_ = false;
    bool reportFromPrint_ = false;
};

}  // namespace commands
