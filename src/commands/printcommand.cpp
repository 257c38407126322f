#include "commands/printcommand.h"

#include "commands/frmprint.h"
#include "commands/pictureprinter.h"
#include "commands/printpages.h"
#include "engine/engine.h"
#include "platform/dialogs.h"
#include "platform/textids.h"

#include <QPrinter>
#include <QScopedValueRollback>

namespace commands {

PrintSubject printSubject(const PrintScene& scene) {
    if (scene.documentShown) {
        // Only the sheet whose picture is loaded has one to print; a drawing page reached
        // from it, or a sheet from the web, is a document like any other.
        if (scene.localDocuments && scene.sheetShown && !scene.pagePicture.isNull())
            return PrintSubject::PagePicture;
        return PrintSubject::Document;
    }
    if (scene.drawingShown) return PrintSubject::Drawing;
    if (scene.choicesShown) return PrintSubject::Choices;
    return PrintSubject::Report;
}

PrintCommand::PrintCommand(engine::Engine& engine, platform::Dialogs& dialogs, TextLookup texts,
                           QString descriptorDir, QWidget* owner, Hooks hooks)
    : engine_(engine),
      dialogs_(dialogs),
      texts_(std::move(texts)),
      descriptorDir_(std::move(descriptorDir)),
      owner_(owner),
      hooks_(std::move(hooks)) {}

PrintCommand::~PrintCommand() {
    if (progress_ && !progress_->parent()) delete progress_.data();
}

QString PrintCommand::text(int k) const {
    if (texts_) {
        if (auto t = texts_(k)) return *t;
    }
    return QString::number(k);
}

// Making a printer loads the printing system: the first print does it, not the start.
QPrinter& PrintCommand::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

frmPrint& PrintCommand::progress() {
    if (!progress_) progress_ = new frmPrint(owner_);
    return *progress_;
}

bool PrintCommand::askPrinter(QPrinter& printer) {
    return dialogs_.printSetup(printer, text(TextId::ButtonPrint));
}

void PrintCommand::report(const PrintOutcome& outcome) {
    outcome_ = outcome;
    if (!outcome.error.isEmpty()) {
        dialogs_.show(text(TextId::PrintCannotStart).arg(outcome.error), text(TextId::AppTitle),
                      platform::Dialogs::Icon::Warning);
    }
}

void PrintCommand::Print() {
    // The drawing print lets events run: a second Print then would share the printer.
    if (busy_) return;
    const QScopedValueRollback<bool> busy(busy_, true);
    const PrintScene scene = hooks_.scene ? hooks_.scene() : PrintScene();
    switch (printSubject(scene)) {
        case PrintSubject::Document: {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            if (!askPrinter(*printer)) return;
            outcome_ = {};
            if (!hooks_.printDocument || !hooks_.printDocument(std::move(printer)))
                dialogs_.show(text(TextId::PrintStillBusy), text(TextId::AppTitle),
                              platform::Dialogs::Icon::Information);
            return;
        }
        case PrintSubject::PagePicture: {
            if (!askPrinter(printer())) return;
            const int copies = takeCopies(printer());
            report(printPagePicture(printer(), scene.pagePicture, copies));
            return;
        }
        case PrintSubject::Drawing: {
            if (!askPrinter(printer())) return;
            const int copies = takeCopies(printer());
            DrawingPrinter drawing(progress());
            const ProgressTexts texts{QString(text(TextId::AppTitle)), text(TextId::Printing),
                                      text(TextId::PrintingCancel)};
            report(drawing.print(printer(), engine_.layerPaths(), copies, texts));
            return;
        }
        case PrintSubject::Choices: {
            if (!askPrinter(printer())) return;
            takeCopies(printer());  // printed once, whatever the number asked
            const QString path = descriptorDir_ + engine_.question().ObjectPicture;
            const PrintOutcome outcome = printChoicePicture(printer(), path);
            report(outcome);
            if (outcome.jobs == 0 && outcome.error.isEmpty())
                dialogs_.show(text(TextId::PrintPictureUnreadable).arg(path),
                              text(TextId::AppTitle), platform::Dialogs::Icon::Warning);
            return;
        }
        case PrintSubject::Report: {
            const QScopedValueRollback<bool> fromPrint(reportFromPrint_, true);
            printIdentificationReport();
            return;
        }
    }
}

ReportTexts PrintCommand::reportTexts() const {
    ReportTexts t;
    t.title = text(TextId::ReportTitle);
    t.baseLine = text(TextId::ReportBase);
    t.dateLine = text(TextId::ReportDate);
    t.answersHeading = text(TextId::ReportAnswers);
    t.noAnswers = text(TextId::ReportNoAnswers);
    t.rankedHeading = text(TextId::ReportRanked);
    t.drawingHeading = text(TextId::ReportDrawing);
    t.documentHeading = text(TextId::ReportDocument);
    t.moreLine = text(TextId::ReportMoreSpecies);
    t.tieLine = text(TextId::ReportTie);
    t.locale = hooks_.locale ? hooks_.locale() : QStringLiteral("en");
    return t;
}

void PrintCommand::printIdentificationReport() {
    if (busy_ && !reportFromPrint_) return;
    const QScopedValueRollback<bool> busy(busy_, true);
    if (!askPrinter(printer())) return;
    const ReportContent content = hooks_.report ? hooks_.report() : ReportContent();
    report(printReport(printer(), content, reportTexts()));
}

}  // namespace commands
