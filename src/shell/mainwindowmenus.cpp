// The main window's menu bar, built from its design, and the commands of its items.
#include "shell/mainwindow.h"

#include "commands/printcommand.h"
#include "documents/documentview.h"
#include "questions/drawingview.h"
#include "questions/questioncontroller.h"
#include "shell/menudesign.h"
#include "shell/speciescomparer.h"
#include "shell/splashwindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace shell {

void frmMain::buildMenus() {
    QMenu* menu = nullptr;
    for (const MenuRow& row : menuDesign()) {
        switch (row.kind) {
            case MenuRow::Kind::Menu:
                menu = menuBar()->addMenu(QString::number(row.text));
                menu->setObjectName(QLatin1String(row.name));
                break;
            case MenuRow::Kind::Separator:
                menu->addSeparator()->setVisible(row.visible);
                break;
            case MenuRow::Kind::Item: {
                QAction* a = addMenuItem(menu, row);
                connect(a, &QAction::triggered, this,
                        [this, a, command = row.command] { runMenuCommand(command, a); });
                break;
            }
        }
    }
}

// Captions are string numbers until the window is translated.
QAction* frmMain::addMenuItem(QMenu* menu, const MenuRow& row) {
    QAction* a = menu->addAction(row.text ? QString::number(row.text) : QString());
    a->setObjectName(QLatin1String(row.name));
    if (row.key) a->setShortcut(QKeySequence(row.key));
    a->setCheckable(row.checkable);
    a->setChecked(row.checked);
    a->setEnabled(row.enabled);
    a->setVisible(row.visible);
    menuItems_.insert(QLatin1String(row.name), a);
    return a;
}

void frmMain::runMenuCommand(MenuCommand command, QAction* item) {
    using C = MenuCommand;
    const auto file = [this](const char* key) { dispatcher_->Traiter_Fichier(QLatin1String(key)); };
    switch (command) {
        case C::None:
            break;
        case C::FileNew:
            return file("New");
        case C::FileOpen:
            return file("Open");
        // Save As saves as Save does: the dispatcher asks for a name when there is none.
        case C::FileSave:
        case C::FileSaveAs:
            return file("Save");
        case C::FilePrint:
            return file("Print");
        case C::FilePrintReport:
            return print_->printIdentificationReport();
        case C::FileExit:
            close();
            return;
        case C::EditUndo:
            return stepDescription(true);
        case C::EditRedo:
            return stepDescription(false);
        case C::EditIconize:
            return showMinimized();
        case C::EditCopy:
            return file("Copy");
        case C::ViewIdentification:
            return chooseView(item, View::Identification);
        case C::ViewResults:
            return chooseView(item, View::Results);
        case C::ViewSpecies:
            return chooseView(item, View::Species);
        case C::ViewQuestions:
            return setQuestionsPanelShown(item->isChecked());
        case C::ViewSearch:
            if (ViewMode == View::Identification || ViewMode == View::Question)
                questions_->Maitre_Discriminant();
            return;
        case C::ViewCompare:
            return comparer_->compareChosen();
        case C::ViewToolbar:
            return toggleBar(item, tbToolBar);
        case C::ViewStatusBar:
            return toggleBar(item, sbStatusBar);
        case C::ViewRefresh:
            return refreshViews();
        case C::ViewOptions:
            return mnuViewOptions_Click();
        case C::HelpContents:
            return openHelp();
        case C::HelpAbout:
            return frmSplash::showAbout(this, ctx_.settings, ctx_.strings);
    }
}

// Clicking the view already marked does nothing.
void frmMain::chooseView(QAction* item, View mode) {
    if (!item->isChecked()) {
        item->setChecked(true);
        return;
    }
    setView(mode);
}

void frmMain::refreshViews() {
    setBusy(true);
    if (Robot->isVisible()) {
        Dispose_Fenetre();
        Robot->update();
    }
    if (WebTexte->isVisible()) {
        Small_Robot->update();
        refreshDocument();
    }
    setBusy(false);
}

}  // namespace shell
