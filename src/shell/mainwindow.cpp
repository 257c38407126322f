#include "shell/mainwindow.h"

#include "commands/printcommand.h"
#include "documents/documentview.h"
#include "documents/drawingsheets.h"
#include "documents/speciesdocuments.h"
#include "documents/specieslistmodel.h"
#include "documents/speciespanes.h"
#include "engine/engine.h"
#include "kb/model.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/plaintext.h"
#include "platform/stringtable.h"
#include "platform/textids.h"
#include "questions/charactertoolbars.h"
#include "questions/choicepicture.h"
#include "questions/drawingview.h"
#include "questions/measurefield.h"
#include "questions/questioncontroller.h"
#include "questions/questionspanel.h"
#include "shell/help.h"
#include "shell/helpwindow.h"
#include "shell/iconset.h"
#include "shell/optionsdialog.h"
#include "shell/qttranslations.h"
#include "shell/speciescomparer.h"
#include "shell/translator.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace shell {

namespace {

// The main toolbar: its ten buttons and the separators between them, 22 entries in all.
// Entries 13 to 22 serve the documents; the identification view hides them.
struct ToolbarEntry {
    const char* key;  // nullptr: a separator
    int caption;
    int tip;
    QStyle::StandardPixmap icon;
};
const ToolbarEntry toolbarDesign[] = {
    {"New", TextId::ButtonNew, TextId::TipNewIdentification, QStyle::SP_FileIcon},
    {"Open", TextId::ButtonOpen, TextId::TipOpen, QStyle::SP_DialogOpenButton},
    {"Save", TextId::ButtonSave, TextId::TipSave, QStyle::SP_DialogSaveButton},
    {nullptr, 0, 0, {}},
    {"Copy", TextId::ButtonCopy, TextId::TipCopy, QStyle::SP_FileDialogDetailedView},
    {"Print", TextId::ButtonPrint, TextId::TipPrint, QStyle::SP_ComputerIcon},
    {nullptr, 0, 0, {}},
    {"Help", TextId::ButtonHelp, TextId::TipHelp, QStyle::SP_DialogHelpButton},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {"Arriere", TextId::ButtonBack, TextId::TipPreviousDocument, QStyle::SP_ArrowBack},
    {"Avant", TextId::ButtonForward, TextId::TipNextDocument, QStyle::SP_ArrowForward},
    {nullptr, 0, 0, {}},
    {"Contra", TextId::ButtonErrors, TextId::TipIdentificationErrors, QStyle::SP_MessageBoxWarning},
    {nullptr, 0, 0, {}},
    {"Stop", TextId::ButtonStop, TextId::TipStopDownloading, QStyle::SP_BrowserStop},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
};
// Separators 10 to 12 only keep the numbering; the view switches never show them.
}  // namespace

bool alwaysHiddenEntry(int entry) {
    return entry >= 10 && entry <= 12;
}

frmMain::frmMain(ProgramContext context, QWidget* parent)
    : QMainWindow(parent), ctx_(std::move(context)) {
    setObjectName(QStringLiteral("frmMain"));
    setProperty("tag", TextId::AppTitle);
    setWindowTitle(QString::number(TextId::AppTitle));
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);
    buildMenus();
    setMenuIcons(menuBar());
    buildToolbar();
    buildPanes();
    buildStatusBar();
    buildQuestionsPanel();
    dispatcher_ = std::make_unique<commands::CommandDispatcher>(
        ctx_.engine, ctx_.dialogs, [this](int k) { return ctx_.strings.text(k); }, *this);
    layers_.resize(ctx_.model.DrawingCount);
    connectSpeciesDocuments();
    buildPrinting();
    comparer_ = new SpeciesComparer(
        ctx_.engine, Liste_Esp, Tree_esp, WebTexte, ctx_.dialogs,
        [this](int k) { return ctx_.strings.textOr(k, QString::number(k)); }, this);
    WebTexte->setDocumentFolders(documentFolders());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::availableGeometryChanged, this,
                &frmMain::AdvSysInfo_DisplayChanged);
}

frmMain::~frmMain() {
    // The panes report their hiding while the window's children are destroyed, when the
    // window is no longer there to hear it.
    if (Dock_Questions) disconnect(Dock_Questions, nullptr, this, nullptr);
    qDeleteAll(findChildren<QObject*>(QString::fromLatin1(EventHookName)));
}

void frmMain::buildToolbar() {
    tbToolBar = new QToolBar(client_);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // The icon set is drawn at 24 and 48 pixels: sharp at scale factors 1 and 2.
    tbToolBar->setIconSize(QSize(24, 24));
    tbToolBar->setMovable(false);
    int n = 0;
    for (const ToolbarEntry& e : toolbarDesign) {
        ++n;
        QAction* a = nullptr;
        if (!e.key) {
            a = tbToolBar->addSeparator();
        } else {
            // The style's picture is asked for only when the theme lacks the command's: the
            // style looks it up in every theme, reading each theme's index to do so.
            QIcon icon = commandIcon(QLatin1String(e.key));
            if (icon.isNull()) icon = style()->standardIcon(e.icon);
            a = tbToolBar->addAction(icon, QString::number(e.caption));
            a->setToolTip(QString::number(e.tip));
            a->setData(QLatin1String(e.key));
            const QString key = QLatin1String(e.key);
            connect(a, &QAction::triggered, this,
                    [this, key] { dispatcher_->Traiter_Fichier(key); });
        }
        // The buttons are reached with Tab, as the help says.
        if (QWidget* button = tbToolBar->widgetForAction(a); button && e.key)
            button->setFocusPolicy(Qt::TabFocus);
        // The document entries appear only with a document view.
        if (alwaysHiddenEntry(n) || n >= 13) a->setVisible(false);
        toolbarEntries_ << a;
    }
}

QAction* frmMain::toolbarEntry(int n) const {
    return n >= 1 && n <= toolbarEntries_.size() ? toolbarEntries_[n - 1] : nullptr;
}

QAction* frmMain::menuAction(const QString& name) const {
    return menuItems_.value(name);
}

void frmMain::buildPanes() {
    Robot = new questions::DrawingView(layers_, client_);
    Robot->setObjectName(QStringLiteral("Robot"));
    Small_Robot = new questions::DrawingView(layers_, client_);
    Small_Robot->setObjectName(QStringLiteral("Small_Robot"));
    Small_Robot->hide();
    // A click on the small drawing goes back to the identification view.
    connect(Small_Robot, &questions::DrawingView::clicked, this,
            [this] { menuAction(QStringLiteral("mnuViewIdentification"))->trigger(); });
    Small_Robot->setLayerLimit(ctx_.model.DrawingCount);
    Pic_Choix = new questions::ChoicePicture(
        ctx_.engine.question(),
        // The engine's state texts: the first "TipText" of each state, in the shown language.
        [&engine = ctx_.engine](int state) { return engine.tables().stateTexts.value(state); },
        client_);
    Pic_Choix->setObjectName(QStringLiteral("Pic_Choix"));
    Pic_Choix->hide();
    Liste_Esp = new QListView(client_);
    Liste_Esp->setObjectName(QStringLiteral("Liste_Esp"));
    listModel_ = new documents::SpeciesListModel(
        [this](int line) {
            return listFromLoading_ ? ctx_.model.speciesListLine(line) : ctx_.engine.listLine(line);
        },
        Liste_Esp);
    documents::showSpeciesList(Liste_Esp, listModel_);
    Liste_Esp->hide();
    Tree_esp = new QTreeView(client_);
    Tree_esp->setObjectName(QStringLiteral("Tree_esp"));
    Tree_esp->setHeaderHidden(true);
    Tree_esp->hide();
    Barre_Verticale = new QFrame(client_);
    Barre_Verticale->setObjectName(QStringLiteral("Barre_Verticale"));
    Barre_Verticale->setFrameShape(QFrame::VLine);
    Barre_Verticale->setFrameShadow(QFrame::Raised);
    Barre_Verticale->setCursor(Qt::SplitHCursor);
    Barre_Verticale->setFixedWidth(6);
    Barre_Verticale->setFocusPolicy(Qt::StrongFocus);
    Barre_Verticale->installEventFilter(this);
    Barre_Verticale->hide();
    WebTexte = new documents::DocumentView(client_, ctx_.documentsUnavailable);
    WebTexte->setObjectName(QStringLiteral("WebTexte"));
    // Local documents need no network: the view stays offline unless they come from the web.
    WebTexte->setOffline(ctx_.values.DocSource == QLatin1String("hd"));
    WebTexte->setDocumentFolders(documentFolders());
    WebTexte->hide();
    Barre_Deter = new QToolBar(client_);
    Barre_Deter->setObjectName(QStringLiteral("Barre_Deter"));
    Barre_Deter->setOrientation(Qt::Vertical);
    Barre_Question = new QToolBar(client_);
    Barre_Question->setObjectName(QStringLiteral("Barre_Question"));
    Barre_Question->setOrientation(Qt::Vertical);
    Barre_Question->hide();

    toolbars_ = new questions::CharacterToolbars(ctx_.model, ctx_.values.DataDir, this);
    questions_ = new questions::QuestionController(
        ctx_.engine, layers_, *toolbars_, *this, ctx_.dialogs,
        [this](int k) { return ctx_.strings.text(k); }, ctx_.values.DescriptorDir, this);
    questions_->attach(Robot, Pic_Choix);
    questions_->setDynamicCursor(ctx_.values.DynamicCursor);
    connect(questions_, &questions::QuestionController::fatal, this, &frmMain::fatal);
}

void frmMain::buildStatusBar() {
    sbStatusBar = new QFrame(client_);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    auto* row = new QHBoxLayout(sbStatusBar);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    // The panels show the tip texts of the base: never taken as markup.
    statusPanel1_ = new QLabel(sbStatusBar);
    statusPanel1_->setTextFormat(Qt::PlainText);
    statusPanel1_->setFrameShape(QFrame::Panel);
    statusPanel1_->setFrameShadow(QFrame::Sunken);
    statusPanel2_ = new QLabel(sbStatusBar);
    statusPanel2_->setTextFormat(Qt::PlainText);
    statusPanel2_->setFrameShape(QFrame::Panel);
    statusPanel2_->setFrameShadow(QFrame::Sunken);
    // The result box is the window's, not the status bar's: hiding the bar keeps the count.
    Resultat = new QFrame(client_);
    Resultat->setObjectName(QStringLiteral("Resultat"));
    Resultat->setFrameShape(QFrame::Panel);
    Resultat->setFrameShadow(QFrame::Sunken);
    auto* inner = new QHBoxLayout(Resultat);
    inner->setContentsMargins(4, 0, 4, 0);
    Legende = new QLabel(Resultat);
    Legende->setObjectName(QStringLiteral("Legende"));
    Legende->setTextFormat(Qt::PlainText);
    inner->addWidget(Legende);
    row->addWidget(statusPanel1_, 3);
    row->addWidget(statusPanel2_, 2);
}

QWidget* frmMain::pane(const QString& name) const {
    return client_->findChild<QWidget*>(name);
}

bool frmMain::load() {
    translateWindow(this, ctx_.strings);
    Disable_Button(QStringLiteral("Copy"));
    // No document has been shown yet: nothing to go back or forward to.
    Disable_Button(QStringLiteral("Arriere"));
    Disable_Button(QStringLiteral("Avant"));
    ctx_.engine.state().DescriptionModified = false;
    // Before the first ranking every species is listed at 100 %, as loading wrote it.
    listFromLoading_ = true;
    listModel_->reset(ctx_.model.speciesListLineCount());
    fillSpeciesTree();
    ctx_.engine.Nettoye();
    ctx_.engine.restartHistory();
    const auto refresh = ctx_.engine.Actualise_Identification(
        [this](int layer, const QString& path) { return loadLayer(layer, path); });
    if (!showRefresh(refresh)) return false;
    // A fresh identification does not count as modified.
    setSaveMenuEnabled(false);
    setSaveAsMenuEnabled(false);
    Disable_Button(QStringLiteral("Save"));
    ctx_.engine.state().DescriptionModified = false;
    repaintDrawing();
    setUpBaseTexts();
    // The toolbars have no recovery of their own: what cannot be built is left out and said
    // on the error output.
    if (!toolbars_->Charge_Barre_Deter(Barre_Deter))
        qWarning("%s", qPrintable(toolbars_->errorString()));
    if (!toolbars_->Charge_Barre_Question(Barre_Question))
        qWarning("%s", qPrintable(toolbars_->errorString()));
    const auto text = [this](int k) { return ctx_.strings.textOr(k, QString::number(k)); };
    Dock_Questions->setWindowTitle(text(TextId::Questions));
    Panel_Questions->setTexts(text(TextId::FilterQuestions), text(TextId::ForgetAnswer),
                              text(TextId::OtherQuestions));
    Panel_Questions->setValueNotKeptText(text(TextId::TypedValueNotKept));
    refreshQuestionsPanel();
    setQuestionsPanelShown(ctx_.settings.questionsPanelShown());
    dispatcher_->setMainCaption(windowTitle());
    return true;
}

void frmMain::fillSpeciesTree() {
    documents::showSpeciesTree(Tree_esp, ctx_.model.Tree);
}

void frmMain::refillSpeciesList() {
    listFromLoading_ = false;
    listModel_->reset(ctx_.engine.listedCount());
}

// --- commands::CommandUi -----------------------------------------------------------------

void frmMain::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void frmMain::setSaveMenuEnabled(bool enabled) {
    menuAction(QStringLiteral("mnuFileSave"))->setEnabled(enabled);
}

bool frmMain::saveMenuEnabled() const {
    return menuAction(QStringLiteral("mnuFileSave"))->isEnabled();
}

void frmMain::setSaveAsMenuEnabled(bool enabled) {
    menuAction(QStringLiteral("mnuFileSaveAs"))->setEnabled(enabled);
}

void frmMain::Enable_Button(const QString& key) {
    for (QAction* a : toolbarEntries_) {
        if (a->data().toString() == key) {
            a->setEnabled(true);
            return;
        }
    }
}

void frmMain::Disable_Button(const QString& key) {
    for (QAction* a : toolbarEntries_) {
        if (a->data().toString() == key) {
            a->setEnabled(false);
            return;
        }
    }
}

void frmMain::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

void frmMain::pendingEvents() {
    QCoreApplication::processEvents();
}

void frmMain::clearStatusPanel() {
    statusPanel1_->clear();
}

void frmMain::repaintDrawing() {
    Robot->update();
    Small_Robot->update();
}

bool frmMain::loadLayer(int layer, const QString& path) {
    return layers_.load(layer, path);
}

bool frmMain::showRefresh(const engine::RefreshResult& result) {
    if (result.fatalPath) {
        // A drawing layer that cannot be loaded ends the program, naming the file.
        ctx_.dialogs.show(*result.fatalPath);
        emit fatal();
        return false;
    }
    if (result.enableSaveCommands) {
        Enable_Button(QStringLiteral("Save"));
        setSaveAsMenuEnabled(true);
        setSaveMenuEnabled(!dispatcher_->currentFile().isEmpty());
    }
    if (result.ranked) {
        refillSpeciesList();
        Legende->setText(ctx_.engine.legend());
        Legende->setToolTip(platform::plainToolTip(ctx_.engine.legend()));
        refreshQuestionsPanel();
    }
    // The drawing keeps its picture until one of its layers changes.
    if (!result.changedLayers.empty()) repaintDrawing();
    return true;
}

void frmMain::dropContradictions() {
    questions_->dropContradictions();
}

void frmMain::showIdentificationView() {
    // Answering from the keyboard goes back to the list the question came from.
    const bool answering = Pic_Choix->hasFocus();
    setView(View::Identification);
    if (answering && Panel_Questions->isVisible()) Panel_Questions->list()->setFocus();
}

void frmMain::copyPicture() {
    if (WebTexte->isVisible()) return;  // a document shown: nothing is copied
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    if (Pic_Choix->isVisible()) {
        clipboard->setPixmap(Pic_Choix->pixmap());
    } else {
        clipboard->setImage(Robot->image());
    }
}

void frmMain::mnuViewOptions_Click() {
    OptionValues values{ctx_.values.ListThreshold,
                        ctx_.values.DynamicCursor,
                        ctx_.values.DocSource,
                        ctx_.values.DocAddress,
                        ctx_.LanguageCode,
                        [this](std::int16_t code) {
                            ctx_.strings.setLanguageCode(code);
                            // Qt's own buttons and dialogs change with the rest at once.
                            if (ctx_.qtTranslations) ctx_.qtTranslations->load(code);
                        }};
    frmOptions dialog(values, ctx_.settings, ctx_.strings, ctx_.dialogs, this);
    dialog.exec();
    applyBaseLanguage();
    questions_->setDynamicCursor(ctx_.values.DynamicCursor);
    WebTexte->setDocumentFolders(documentFolders());
    WebTexte->setOffline(ctx_.values.DocSource == QLatin1String("hd"));
    if (!dialog.listThresholdChanged()) return;
    // The list follows the new threshold from the ranking as it stands; the legend stays.
    ctx_.engine.setListThreshold(ctx_.values.ListThreshold);
    refillSpeciesList();
    if (Liste_Esp->isVisible()) {
        species_->Liste_Esp_Click(Liste_Esp);
        WebTexte->setFocus();
    }
}

void frmMain::showQuestionView() {
    ViewMode = View::Question;
    Robot->hide();
    Pic_Choix->show();
    Pic_Choix->raise();
    placeQuestionHeading(toPixels(layout_.choicePicture));
    Panel_Questions->selectQuestion(ctx_.engine.question().CurrentObject);
    Pic_Choix->setFocus();
    if (Mesure_Champ->isVisible()) Mesure_Champ->setFocus();
}

void frmMain::showResultsView() {
    setView(View::Results);
}

void frmMain::setStatusText(const QString& text) {
    statusPanel1_->setText(text);
}

}  // namespace shell
