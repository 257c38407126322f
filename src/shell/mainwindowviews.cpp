#include "shell/mainwindow.h"

#include "documents/documentview.h"
#include "documents/drawingsheets.h"
#include "documents/speciesdocuments.h"
#include "engine/engine.h"
#include "kb/model.h"
#include "platform/dialogs.h"
#include "platform/numbers.h"
#include "platform/stringtable.h"
#include "platform/textids.h"
#include "questions/choicepicture.h"
#include "questions/drawingview.h"
#include "questions/questioncontroller.h"
#include "questions/questionspanel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QWindow>

namespace shell {

double frmMain::twipsPerPixelX() const {
    return 1440.0 / std::max(1, logicalDpiX());
}
double frmMain::twipsPerPixelY() const {
    return 1440.0 / std::max(1, logicalDpiY());
}

QRect frmMain::toPixels(const QRectF& t) const {
    const double x = twipsPerPixelX(), y = twipsPerPixelY();
    const int left = int(platform::roundHalfEven(t.left() / x));
    const int top = int(platform::roundHalfEven(t.top() / y));
    return QRect(left, top, std::max(0, int(platform::roundHalfEven(t.right() / x)) - left),
                 std::max(0, int(platform::roundHalfEven(t.bottom() / y)) - top));
}

LayoutInput frmMain::layoutInput() const {
    const double x = twipsPerPixelX(), y = twipsPerPixelY();
    LayoutInput in;
    in.scaleWidth = client_->width() * x;
    in.scaleHeight = client_->height() * y;
    in.toolbarVisible = !tbToolBar->isHidden();
    in.toolbarHeight = tbToolBar->sizeHint().height() * y;
    in.statusBarVisible = !sbStatusBar->isHidden();
    in.statusBarHeight = sbStatusBar->sizeHint().height() * y;
    in.drawingLeft = 35;
    in.deterToolbarWidth = Barre_Deter->width() * x;
    in.questionToolbarWidth = Barre_Question->width() * x;
    in.splitterWidth = Barre_Verticale->width() * x;
    in.pixelWidth = x;
    in.pixelHeight = y;
    return in;
}

void frmMain::applyLayout(const Layout& l) {
    const int w = client_->width();
    tbToolBar->setGeometry(0, 0, w, tbToolBar->sizeHint().height());
    const int statusHeight = sbStatusBar->sizeHint().height();
    sbStatusBar->setGeometry(0, client_->height() - statusHeight, w, statusHeight);
    // The panels are placed now, even with the bar hidden: the result box follows panel 2.
    sbStatusBar->layout()->setGeometry(sbStatusBar->rect());
    const QRect drawing = toPixels(l.drawing);
    Robot->setGeometry(drawing);
    placeQuestionHeading(toPixels(l.choicePicture));
    if (drawingLess()) {
        // The questions take the drawing's place, from the left edge to the toolbar.
        const int top = tbToolBar->isHidden() ? 0 : tbToolBar->sizeHint().height();
        const int bottom = client_->height() - (sbStatusBar->isHidden() ? 0 : statusHeight);
        const int right = toPixels(QRectF(l.deterToolbar, QSizeF())).x();
        Panel_Questions->setGeometry(0, top, std::max(0, right), std::max(0, bottom - top));
    }
    Small_Robot->setGeometry(toPixels(l.smallDrawing));
    Liste_Esp->setGeometry(toPixels(l.speciesList));
    Tree_esp->setGeometry(toPixels(l.speciesTree));
    Barre_Verticale->setGeometry(toPixels(l.splitter));
    WebTexte->setGeometry(toPixels(l.document));
    const int bottom = client_->height() - (sbStatusBar->isHidden() ? 0 : statusHeight);
    const QPoint deter = toPixels(QRectF(l.deterToolbar, QSizeF(0, 0))).topLeft();
    Barre_Deter->setGeometry(deter.x(), deter.y(), Barre_Deter->width(),
                             std::max(0, bottom - deter.y()));
    const QPoint quest = toPixels(QRectF(l.questionToolbar, QSizeF(0, 0))).topLeft();
    Barre_Question->setGeometry(quest.x(), quest.y(), Barre_Question->width(),
                                std::max(0, bottom - quest.y()));
    fitCharacterToolbar();
}

Layout frmMain::Dispose_Fenetre() {
    layoutDone_ = true;
    layout_ = shell::Dispose_Fenetre(layoutInput());
    switch (ViewMode) {
        case View::Results:
            Liste_Esp->hide();
            Barre_Verticale->hide();
            WebTexte->hide();
            break;
        case View::Species:
            Tree_esp->hide();
            Barre_Verticale->hide();
            WebTexte->hide();
            break;
        default:
            break;
    }
    applyLayout(layout_);
    switch (ViewMode) {
        case View::Identification:
            Robot->show();
            pendingEvents();
            Pic_Choix->hide();
            Barre_Deter->show();
            break;
        case View::Question:
            Pic_Choix->show();
            Barre_Question->show();
            break;
        case View::Results:
            Small_Robot->show();
            Liste_Esp->show();
            Barre_Verticale->show();
            Barre_Verticale->setFocus();
            WebTexte->show();
            break;
        case View::Species:
            Small_Robot->show();
            Tree_esp->show();
            Barre_Verticale->show();
            Barre_Verticale->setFocus();
            WebTexte->show();
            WebTexte->setFocus();
            break;
        default:
            break;
    }
    // The legend keeps its bold type whatever the language's font.
    QFont f = Legende->font();
    f.setPointSize(9);
    f.setBold(true);
    Legende->setFont(f);
    Legende->setToolTip(QString());
    placeResultBox();
    return layout_;
}

// The species count stands over the second panel whether or not the status bar is shown.
void frmMain::placeResultBox() {
    Resultat->setGeometry(statusPanel2_->geometry().translated(sbStatusBar->pos()));
    Resultat->show();
    Resultat->raise();
}

// Resized by hand, maximised or moved to another display, the window keeps its panes in
// it and the species count over the status bar: the panes are placed again, without the
// view's showing and focusing.
void frmMain::followResize() {
    if (!layoutDone_) return;
    layout_ = shell::Dispose_Fenetre(layoutInput());
    applyLayout(layout_);
    placeResultBox();
}

void frmMain::setView(View mode) {
    const char* names[] = {"mnuViewIdentification", "mnuViewResults", "mnuViewSpecies"};
    const View modes[] = {View::Identification, View::Results, View::Species};
    for (int i = 0; i < 3; ++i) menuAction(QLatin1String(names[i]))->setChecked(modes[i] == mode);
    ViewMode = mode;
    if (mode == View::Identification) Vue_Identification();
    if (mode == View::Results) Vue_Resultats();
    if (mode == View::Species) Vue_Especes();
}

void frmMain::Vue_Identification() {
    for (int n = 13; n <= 22; ++n) toolbarEntry(n)->setVisible(false);
    for (QWidget* w : {static_cast<QWidget*>(Small_Robot), static_cast<QWidget*>(Pic_Choix),
                       static_cast<QWidget*>(Liste_Esp), static_cast<QWidget*>(Tree_esp),
                       static_cast<QWidget*>(Barre_Verticale), static_cast<QWidget*>(WebTexte),
                       static_cast<QWidget*>(Barre_Question)})
        w->hide();
    sheets_->identificationView();
    Barre_Deter->show();
    Robot->show();
    ViewMode = View::Identification;
    questions_->QuestionBusy = false;
    setCopyEnabled(true);
}

// Copy takes the drawing or the picture of choices; with a document on screen there is
// nothing to copy, so the command is offered exactly while one of the two is shown.
void frmMain::setCopyEnabled(bool enabled) {
    if (enabled) {
        Enable_Button(QStringLiteral("Copy"));
    } else {
        Disable_Button(QStringLiteral("Copy"));
    }
    menuAction(QStringLiteral("mnuEditCopy"))->setEnabled(enabled);
}

void frmMain::showDocumentEntries() {
    const int last = ctx_.values.DocSource == QLatin1String("hd") ? 18 : 20;
    for (int n = 13; n <= last; ++n) toolbarEntry(n)->setVisible(!alwaysHiddenEntry(n));
}

void frmMain::Vue_Resultats() {
    Robot->hide();
    Pic_Choix->hide();
    Barre_Question->hide();  // it stands only beside its question
    Tree_esp->hide();
    Barre_Deter->hide();
    if (ctx_.engine.state().ExtraLayerCount != 0) questions_->dropContradictions();
    pendingEvents();
    Small_Robot->show();
    Liste_Esp->show();
    Barre_Verticale->show();
    Barre_Verticale->raise();
    WebTexte->show();
    setCopyEnabled(false);
    showDocumentEntries();
    pendingEvents();
    species_->Liste_Esp_Click(Liste_Esp);
    if (Liste_Esp->model()->rowCount() == 0) withdrawSpeciesCommands();
}

// An empty list (every species below the threshold) opens no document: there is nothing to
// go back or forward to, and no species whose contradictions could be shown.
void frmMain::withdrawSpeciesCommands() {
    Disable_Button(QStringLiteral("Arriere"));
    Disable_Button(QStringLiteral("Avant"));
    for (int n = 13; n <= int(toolbarEntries_.size()); ++n) {
        if (toolbarEntries_[n - 1]->data().toString() != QLatin1String("Contra")) continue;
        toolbarEntries_[n - 1]->setVisible(false);
        if (n < int(toolbarEntries_.size())) toolbarEntries_[n]->setVisible(false);
    }
}

void frmMain::Vue_Especes() {
    Robot->hide();
    Pic_Choix->hide();
    Barre_Question->hide();
    Liste_Esp->hide();
    Barre_Deter->hide();
    pendingEvents();
    Small_Robot->show();
    Tree_esp->show();
    Barre_Verticale->show();
    Barre_Verticale->raise();
    WebTexte->show();
    setCopyEnabled(false);
    showDocumentEntries();
    Tree_esp->setFocus();
    pendingEvents();
}

void frmMain::toggleBar(QAction* item, QWidget* bar) {
    setBusy(true);
    bar->setVisible(item->isChecked());
    Dispose_Fenetre();
    if (Robot->isVisible()) Robot->update();
    if (WebTexte->isVisible()) {
        Small_Robot->update();
        refreshDocument();
    }
    setBusy(false);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) followResize();
    if (watched != Barre_Verticale) return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        splitterDragging_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseMove && splitterDragging_) {
        const int x = int(static_cast<QMouseEvent*>(event)->position().x());
        Barre_Verticale->move(Barre_Verticale->x() + x, Barre_Verticale->y());
    } else if (event->type() == QEvent::MouseButtonRelease && splitterDragging_) {
        splitterDragging_ = false;
        dropSplitter();
    }
    return false;
}

void frmMain::dropSplitter() {
    const double x = twipsPerPixelX();
    const SplitterDrop d =
        Barre_Verticale_Drop(layout_, Barre_Verticale->x() * x, Barre_Verticale->width() * x,
                             client_->width() * x, frameGeometry().width() * x);
    Barre_Verticale->move(int(platform::roundHalfEven(d.splitterLeft / x)), Barre_Verticale->y());
    Small_Robot->setGeometry(toPixels(d.smallDrawing));
    Tree_esp->setGeometry(toPixels(d.speciesTree));
    Liste_Esp->setGeometry(toPixels(d.speciesList));
    WebTexte->setGeometry(toPixels(d.document));
    Small_Robot->update();
}

QRect clientRectForWorkArea(const QRect& workArea, const QMargins& frame) {
    return workArea.marginsRemoved(frame);
}

// The whole window, its frame with the caption and borders included, covers the work area:
// the inner area is what is left inside the frame the window manager draws.
void frmMain::fitToWorkArea() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    setGeometry(clientRectForWorkArea(screen->availableGeometry(), frame));
    if (frame.isNull() && isVisible()) refitWhenFramed();
}

// The window manager draws its frame a moment after the window is shown; once it is there
// the window is fitted again and laid out. Without a window manager no frame ever comes.
void frmMain::refitWhenFramed() {
    if (++frameChecks_ > 40) return;
    QTimer::singleShot(50, this, [this] {
        if (!windowHandle() || windowHandle()->frameMargins().isNull()) return refitWhenFramed();
        fitToWorkArea();
        Dispose_Fenetre();
    });
}

// The window always covers the work area: when the display changes it is fitted again.
void frmMain::AdvSysInfo_DisplayChanged() {
    if (isMinimized()) showNormal();
    fitToWorkArea();
    Dispose_Fenetre();
    if (Robot->isVisible()) Robot->update();
    if (WebTexte->isVisible()) {
        Small_Robot->update();
        refreshDocument();
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    using A = platform::Dialogs::Answer;
    const auto text = [this](int k) { return ctx_.strings.textOr(k, QString::number(k)); };
    sheets_->hideForQuestion();
    const A quit =
        ctx_.dialogs.ask({text(TextId::QuitQuestion), windowTitle(),
                          platform::Dialogs::Icon::Question, platform::Dialogs::Buttons::YesNo});
    if (quit != A::Yes) {
        sheets_->showAfterQuestion();
        event->ignore();
        return;
    }
    if (ctx_.engine.state().DescriptionModified) {
        const A save = ctx_.dialogs.ask({text(TextId::SaveQuestion), windowTitle(),
                                         platform::Dialogs::Icon::Warning,
                                         platform::Dialogs::Buttons::YesNoCancel});
        // A save that did not happen (its dialog cancelled, or the file not written) keeps
        // the program open, so the work is not lost.
        if (save == A::Cancel || (save == A::Yes && !dispatcher_->Exec_Save())) {
            sheets_->showAfterQuestion();
            event->ignore();
            return;
        }
    }
    event->accept();
    ctx_.model.KnowledgeBase.close();
    // Every other window of the program closes with the main one, newest first.
    const auto windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (*it != this && (*it)->isVisible()) (*it)->close();
    }
}

}  // namespace shell
