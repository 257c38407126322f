#include "commands/printcommand.h"

#include "commands/frmprint.h"
#include "commands/pictureprinter.h"
#include "commands/printpages.h"
#include "engine/engine.h"
#include "platform/dialogs.h"

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
      hooks_(std::move(hooks)),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PrintCommand::~PrintCommand() {
    if (progress_ && !progress_->parent()) delete progress_.data();
}

QString PrintCommand::text(int k) const {
    if (texts_) {
        if (auto t = texts_(k)) return *t;
    }
    return QString::number(k);
}

frmPrint& PrintCommand::progress() {
    if (!progress_) progress_ = new frmPrint(owner_);
    return *progress_;
}

bool PrintCommand::askPrinter(QPrinter& printer) {
    return dialogs_.printSetup(printer, text(1057));
}

void PrintCommand::report(const PrintOutcome& outcome) {
    outcome_ = outcome;
    if (!outcome.error.isEmpty()) {
        dialogs_.show(text(1712).arg(outcome.error), text(1050), platform::Dialogs::Icon::Warning);
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
                dialogs_.show(text(1713), text(1050), platform::Dialogs::Icon::Information);
            return;
        }
        case PrintSubject::PagePicture: {
            if (!askPrinter(*printer_)) return;
            const int copies = takeCopies(*printer_);
            report(printPagePicture(*printer_, scene.pagePicture, copies));
            return;
        }
        case PrintSubject::Drawing: {
            if (!askPrinter(*printer_)) return;
            const int copies = takeCopies(*printer_);
            DrawingPrinter drawing(progress());
            const ProgressTexts texts{QString(text(1050)), text(1700), text(1701)};
            report(drawing.print(*printer_, engine_.layerPaths(), copies, texts));
            return;
        }
        case PrintSubject::Choices: {
            if (!askPrinter(*printer_)) return;
            takeCopies(*printer_);  // printed once, whatever the number asked
            const QString path = descriptorDir_ + engine_.question().ObjectPicture;
            const PrintOutcome outcome = printChoicePicture(*printer_, path);
            report(outcome);
            if (outcome.jobs == 0 && outcome.error.isEmpty())
                dialogs_.show(text(1714).arg(path), text(1050), platform::Dialogs::Icon::Warning);
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
    t.title = text(1703);
    t.baseLine = text(1704);
    t.dateLine = text(1705);
    t.answersHeading = text(1706);
    t.noAnswers = text(1707);
    t.rankedHeading = text(1708);
    t.drawingHeading = text(1709);
    t.documentHeading = text(1710);
    t.moreLine = text(1771);
    t.tieLine = text(1772);
    t.locale = hooks_.locale ? hooks_.locale() : QStringLiteral("en");
    return t;
}

void PrintCommand::printIdentificationReport() {
    if (busy_ && !reportFromPrint_) return;
    const QScopedValueRollback<bool> busy(busy_, true);
    if (!askPrinter(*printer_)) return;
    const ReportContent content = hooks_.report ? hooks_.report() : ReportContent();
    report(printReport(*printer_, content, reportTexts()));
}

}  // namespace commands
