// The main window's part of printing: what it shows when Print is asked, the document view's
// own printing, and the identification report's content.
#include "commands/printcommand.h"
#include "documents/documentprinter.h"
#include "documents/documentview.h"
#include "documents/drawingsheets.h"
#include "documents/speciesdocuments.h"
#include "engine/engine.h"
#include "kb/model.h"
#include "platform/dialogs.h"
#include "platform/stringtable.h"
#include "platform/textids.h"
#include "questions/choicepicture.h"
#include "questions/drawingview.h"
#include "shell/mainwindow.h"
#include "shell/reportcontent.h"

#include <QPrinter>

namespace shell {

void frmMain::buildPrinting() {
    documentPrinter_ = new documents::DocumentPrinter(*WebTexte, this);
    connect(documentPrinter_, &documents::DocumentPrinter::finished, this, [this](bool ok) {
        if (!ok)
            ctx_.dialogs.show(ctx_.strings.textOr(TextId::PrintDocumentFailed,
                                                  QString::number(TextId::PrintDocumentFailed)),
                              ctx_.strings.textOr(TextId::AppTitle, QString()),
                              platform::Dialogs::Icon::Warning);
    });
    commands::PrintCommand::Hooks hooks;
    hooks.scene = [this] {
        commands::PrintScene scene;
        scene.documentShown = WebTexte->isVisible();
        scene.localDocuments = ctx_.values.DocSource == QLatin1String("hd");
        scene.sheetShown = sheets_->events().sheetShown();
        scene.pagePicture = sheets_->events().DocPicture();
        scene.drawingShown = Robot->isVisible() && ctx_.model.DrawingCount > 0;
        scene.choicesShown = Pic_Choix->isVisible();
        return scene;
    };
    hooks.printDocument = [this](std::unique_ptr<QPrinter> printer) {
        return documentPrinter_->print(std::move(printer));
    };
    hooks.report = [this] {
        return gatherReport(ctx_.model, ctx_.engine, ctx_.values, layers_, species_->DocSuffix,
                            baseTexts_.isEmpty() ? QString() : baseTextLanguage());
    };
    hooks.locale = [this] {
        static const char* const codes[] = {"en", "es", "fr"};
        const int code = ctx_.strings.languageCode();
        return QString::fromLatin1(codes[code >= 0 && code < 3 ? code : 0]);
    };
    print_ = std::make_unique<commands::PrintCommand>(
        ctx_.engine, ctx_.dialogs, [this](int k) { return ctx_.strings.text(k); },
        ctx_.values.DescriptorDir, this, hooks);
}

void frmMain::printDocument() {
    print_->setDescriptorDir(ctx_.values.DescriptorDir);
    print_->Print();
}

}  // namespace shell
