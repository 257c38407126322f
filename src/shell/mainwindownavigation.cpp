// The main window's moves between documents: Back, Forward, Stop and Refresh, and the timer
// that keeps Back and Forward offered only while they lead somewhere.
#include "shell/mainwindow.h"

#include "commands/commanddispatcher.h"
#include "documents/documentview.h"
#include "documents/drawingsheets.h"
#include "documents/speciesdocuments.h"
#include "documents/specieslistmodel.h"

#include <QListView>

namespace shell {

void frmMain::documentBack() {
    sheets_->goingBack();
    WebTexte->GoBack();
}

void frmMain::documentForward() {
    WebTexte->GoForward();
}

void frmMain::documentStop() {
    WebTexte->Stop();
}

void frmMain::refreshDocument() {
    if (WebTexte->isVisible()) WebTexte->Refresh();
}

void frmMain::Timer1_Timer() {
    if (!WebTexte->isVisible()) return;
    // A blank view (nothing opened yet, or an empty list) has no step to retrace either way.
    const QString shown = WebTexte->LocationURL();
    if (shown.isEmpty() || shown == QLatin1String("about:blank") ||
        (Liste_Esp->isVisible() && listModel_->rowCount() == 0)) {
        Disable_Button(QStringLiteral("Arriere"));
        Disable_Button(QStringLiteral("Avant"));
        return;
    }
    if (WebTexte->ReadyState() != 4) return;
    const QString own = species_->DocCode.toLower() + species_->DocSuffix + QStringLiteral(".html");
    // Away from the species' own document Back is offered, but only when it leads somewhere.
    if (WebTexte->LocationURL().toLower().endsWith(own) || !WebTexte->canGoBack()) {
        Disable_Button(QStringLiteral("Arriere"));
    } else {
        Enable_Button(QStringLiteral("Arriere"));
    }
    if (dispatcher_->forwardSteps() < 1 || !WebTexte->canGoForward()) {
        Disable_Button(QStringLiteral("Avant"));
    } else {
        Enable_Button(QStringLiteral("Avant"));
    }
}

}  // namespace shell
