#include "shell/mainwindow.h"
#include "shell/speciescomparer.h"

#include "documents/documentview.h"
#include "documents/drawingsheets.h"
#include "documents/speciesdocuments.h"
#include "documents/specieslistmodel.h"
#include "engine/engine.h"
#include "kb/model.h"
#include "platform/paths.h"
#include "platform/stringtable.h"
#include "platform/textids.h"
#include "questions/questioncontroller.h"
#include "shell/help.h"
#include "shell/helpwindow.h"

#include <QAction>
#include <QFileInfo>
#include <QListView>
#include <QTimer>
#include <algorithm>

// The main window's documents: the species documents, the drawing sheets, the help pages and
// the commands that move in them.
namespace shell {

// Nothing is said when there is no help page. Web pages are shown in the program's own help
// window, kept and brought back by the next request; only the compiled help goes to the
// desktop, which alone can show it.
void frmMain::openHelp() {
    const QString path = helpPath(ctx_.values.ProgramDir);
    if (path.isEmpty()) return;
    if (!path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)) {
        openHelpOnDesktop(path);
        return;
    }
    if (!helpWindow_ || helpWindow_->page() != path) {
        if (helpWindow_) helpWindow_->close();
        helpWindow_ = new frmHelp(path, this);
    }
    const auto text = [this](int k, const QString& fallback) {
        return ctx_.strings.textOr(k, fallback);
    };
    helpWindow_->setTexts(
        text(TextId::AppTitle, QStringLiteral("Vireka")) + QStringLiteral(" - ") +
            text(TextId::MenuHelpContents, QString()).remove(QLatin1Char('&')),
        text(TextId::OpenInBrowser, QStringLiteral("Open this page in the web browser")));
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void frmMain::connectSpeciesDocuments() {
    documents::SpeciesDocuments::Hooks hooks;
    hooks.Enable_Button = [this](const QString& key) { Enable_Button(key); };
    // The Errors button and the entry after it are offered only below the best species.
    hooks.setContraHidden = [this](bool hidden) {
        for (int i = 0; i < toolbarEntries_.size(); ++i) {
            if (toolbarEntries_[i]->data().toString() != QLatin1String("Contra")) continue;
            toolbarEntries_[i]->setVisible(!hidden);
            if (i + 1 < toolbarEntries_.size()) toolbarEntries_[i + 1]->setVisible(!hidden);
            return;
        }
    };
    hooks.setForwardSteps = [this](int steps) { dispatcher_->setForwardSteps(steps); };
    hooks.pendingEvents = [this] { pendingEvents(); };
    hooks.prepareDocument = [this] { sheets_->prepareDocument(); };
    species_ = new documents::SpeciesDocuments(ctx_.model, ctx_.engine.state(), ctx_.values,
                                               *WebTexte, hooks, this);
    species_->attachList(Liste_Esp);
    species_->attachTree(Tree_esp);
    species_->DocSuffix = initialDocSuffix();
    connectDrawingSheets();
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("documentStepTimer"));
    connect(timer, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    timer->start(100);
}

// Documents start in the interface language when the base has them in it (its first
// species' document is looked for on disk; a web site is trusted), else in English; from
// then on the suffix follows the document on screen.
QString frmMain::initialDocSuffix() const {
    static const char* const suffixes[] = {"_en", "_es", "_fr"};
    const int language = std::clamp(int(ctx_.LanguageCode), 0, 2);
    const QString wanted = QLatin1String(suffixes[language]);
    if (language == 0) return wanted;
    if (ctx_.values.DocSource != QLatin1String("hd")) return wanted;
    kb::Table flora = ctx_.model.FloraTable;  // a cursor of its own
    flora.setIndex(QStringLiteral("PrimaryKey"));
    flora.moveFirst();
    if (flora.eof()) return QStringLiteral("_en");
    const QString code = flora.field(QStringLiteral("Code")).toString();
    const QString path =
        documents::SpeciesDocuments::localDocumentPath(ctx_.values.DocAddress, code, wanted, u'/');
    return QFileInfo(platform::toLocalPath(path)).isFile() ? wanted : QStringLiteral("_en");
}

void frmMain::connectDrawingSheets() {
    documents::DrawingSheets::Hooks hooks;
    hooks.Enable_Button = [this](const QString& key) { Enable_Button(key); };
    hooks.Disable_Button = [this](const QString& key) { Disable_Button(key); };
    hooks.pendingEvents = [this] { pendingEvents(); };
    hooks.restorePointer = [this] {
        while (busyDepth_ > 0) setBusy(false);
    };
    hooks.legendCaption = [this] {
        return ctx_.strings.textOr(TextId::Legend, QStringLiteral("Legend"));
    };
    hooks.species = [this] {
        return documents::OpenSpecies{species_->DocCode, species_->DocSpecies, species_->DocFamily,
                                      species_->DocSuffix};
    };
    sheets_ = new documents::DrawingSheets(ctx_.values, ctx_.model, *WebTexte, this,
                                           Barre_Verticale, hooks);
}

// Documents read files from their own folder and the data folder (the error pages) only.
QStringList frmMain::documentFolders() const {
    QStringList folders{ctx_.values.DataDir};
    if (ctx_.values.DocSource == QLatin1String("hd")) folders << ctx_.values.DocAddress;
    if (comparer_) folders << comparer_->folder() + QLatin1Char('/');
    return folders;
}

// Errors works on the species whose document is on screen, whichever pane opened it; the
// list's selection counts only when no document names a species.
void frmMain::showContradictions() {
    const QModelIndex current = Liste_Esp->currentIndex();
    int line = current.isValid() ? current.row() : -1;
    if (!species_->DocCode.isEmpty()) {
        kb::Table flora = ctx_.model.FloraTable;  // a cursor of its own
        flora.setIndex(QStringLiteral("PrimaryKey"));
        int index = 0;
        for (flora.moveFirst(); !flora.eof(); flora.moveNext(), ++index) {
            if (flora.field(QStringLiteral("Code"))
                    .toString()
                    .compare(species_->DocCode, Qt::CaseInsensitive) != 0)
                continue;
            const auto& ranked = ctx_.engine.state().RankTable.species;
            const auto at = std::find(ranked.begin(), ranked.end(), index);
            if (at != ranked.end()) line = int(at - ranked.begin());
            break;
        }
    }
    questions_->showContradictions(line);
}

}  // namespace shell
