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
#include "platform/stringtable.h"
#include "questions/charactertoolbars.h"
#include "questions/choicepicture.h"
#include "questions/drawingview.h"
#include "questions/questioncontroller.h"
#include "questions/questionspanel.h"
#include "shell/help.h"
#include "shell/iconset.h"
#include "shell/optionsdialog.h"
#include "shell/speciescomparer.h"
#include "shell/splashwindow.h"
#include "shell/translator.h"

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
    {"New", 1053, 1023, QStyle::SP_FileIcon},
    {"Open", 1054, 1024, QStyle::SP_DialogOpenButton},
    {"Save", 1055, 1025, QStyle::SP_DialogSaveButton},
    {nullptr, 0, 0, {}},
    {"Copy", 1056, 1026, QStyle::SP_FileDialogDetailedView},
    {"Print", 1057, 1027, QStyle::SP_ComputerIcon},
    {nullptr, 0, 0, {}},
    {"Help", 1058, 1028, QStyle::SP_DialogHelpButton},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {nullptr, 0, 0, {}},
    {"Arriere", 1059, 1062, QStyle::SP_ArrowBack},
    {"Avant", 1060, 1063, QStyle::SP_ArrowForward},
    {nullptr, 0, 0, {}},
    {"Contra", 1065, 1066, QStyle::SP_MessageBoxWarning},
    {nullptr, 0, 0, {}},
    {"Stop", 1061, 1064, QStyle::SP_BrowserStop},
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
    setProperty("tag", 1050);
    setWindowTitle(QStringLiteral("1050"));
    client_ = new QWidget(this);
    setCentralWidget(client_);
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

QAction* frmMain::addMenuItem(QMenu* menu, const char* name, int text, const QKeySequence& key) {
    QAction* a = menu->addAction(QString::number(text));
    a->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) a->setShortcut(key);
    menuItems_.insert(QLatin1String(name), a);
    return a;
}

void frmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("1000"));
    file->setObjectName(QStringLiteral("mnuFile"));
    connect(addMenuItem(file, "mnuFileNew", 1001, QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this,
            [this] { dispatcher_->Traiter_Fichier(QStringLiteral("New")); });
    connect(addMenuItem(file, "mnuFileOpen", 1002, QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this,
            [this] { dispatcher_->Traiter_Fichier(QStringLiteral("Open")); });
    file->addSeparator();
    QAction* save = addMenuItem(file, "mnuFileSave", 1003, QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setEnabled(false);
    connect(save, &QAction::triggered, this,
            [this] { dispatcher_->Traiter_Fichier(QStringLiteral("Save")); });
    connect(addMenuItem(file, "mnuFileSaveAs", 1004), &QAction::triggered, this,
            [this] { dispatcher_->Traiter_Fichier(QStringLiteral("Save")); });
    file->addSeparator();
    connect(addMenuItem(file, "mnuFilePrint", 1006, QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this,
            [this] { dispatcher_->Traiter_Fichier(QStringLiteral("Print")); });
    connect(addMenuItem(file, "mnuFilePrintReport", 1702), &QAction::triggered, this,
            [this] { print_->printIdentificationReport(); });
    file->addSeparator();
    for (int i = 1; i <= 3; ++i) {
        // Recent-file entries have no caption and no action: they stay out of sight.
        QAction* mru = file->addAction(QString());
        mru->setObjectName(QStringLiteral("mnuFileMRU%1").arg(i));
        mru->setVisible(false);
    }
    file->addSeparator()->setVisible(false);
    connect(addMenuItem(file, "mnuFileExit", 1007), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("1008"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    connect(addMenuItem(edit, "mnuEditIconize", 1009), &QAction::triggered, this,
            &QWidget::showMinimized);
    QAction* copy = addMenuItem(edit, "mnuEditCopy", 1010, QKeySequence(Qt::CTRL | Qt::Key_C));
    copy->setEnabled(false);
    connect(copy, &QAction::triggered, this,
            [this] { dispatcher_->Traiter_Fichier(QStringLiteral("Copy")); });
    buildHistoryMenu(edit);

    QMenu* view = menuBar()->addMenu(QStringLiteral("1011"));
    view->setObjectName(QStringLiteral("mnuView"));
    const struct {
        const char* name;
        int text;
        QKeySequence key;
        int mode;
    } views[] = {{"mnuViewIdentification", 1012, QKeySequence(Qt::CTRL | Qt::Key_I), 1},
                 {"mnuViewResults", 1013, QKeySequence(Qt::CTRL | Qt::Key_R), 3},
                 {"mnuViewSpecies", 1014, QKeySequence(Qt::CTRL | Qt::Key_E), 4}};
    for (const auto& v : views) {
        QAction* a = addMenuItem(view, v.name, v.text, v.key);
        a->setCheckable(true);
        a->setChecked(v.mode == 1);
        const int mode = v.mode;
        connect(a, &QAction::triggered, this, [this, a, mode] {
            // Clicking the view already marked does nothing.
            if (!a->isChecked()) {
                a->setChecked(true);
                return;
            }
            setView(mode);
        });
    }
    view->addSeparator();
    QAction* panel =
        addMenuItem(view, "mnuViewQuestions", 1640, QKeySequence(Qt::CTRL | Qt::Key_L));
    panel->setCheckable(true);
    panel->setChecked(true);
    connect(panel, &QAction::triggered, this, [this](bool on) { setQuestionsPanelShown(on); });
    connect(addMenuItem(view, "mnuViewSearch", 1646, QKeySequence(Qt::Key_F3)), &QAction::triggered,
            this, [this] {
                if (ViewMode == 1 || ViewMode == 2) questions_->Maitre_Discriminant();
            });
    connect(addMenuItem(view, "mnuViewCompare", 1820), &QAction::triggered, this,
            [this] { comparer_->compareChosen(); });
    QAction* toolbar = addMenuItem(view, "mnuViewToolbar", 1015);
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    connect(toolbar, &QAction::triggered, this, [this, toolbar] { toggleBar(toolbar, tbToolBar); });
    QAction* status = addMenuItem(view, "mnuViewStatusBar", 1016);
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::triggered, this, [this, status] { toggleBar(status, sbStatusBar); });
    view->addSeparator();
    connect(addMenuItem(view, "mnuViewRefresh", 1017, QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, [this] {
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
            });
    connect(addMenuItem(view, "mnuViewOptions", 1018), &QAction::triggered, this,
            &frmMain::mnuViewOptions_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("1019"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(addMenuItem(help, "mnuHelpContents", 1020), &QAction::triggered, this,
            [this] { openHelp(); });
    help->addSeparator();
    connect(addMenuItem(help, "mnuHelpAbout", 1022), &QAction::triggered, this,
            [this] { frmSplash::showAbout(this, ctx_.settings, ctx_.strings); });
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
            const QIcon icon = commandIcon(QLatin1String(e.key), style()->standardIcon(e.icon));
            a = tbToolBar->addAction(icon, QString::number(e.caption));
            a->setToolTip(QString::number(e.tip));
            a->setData(QLatin1String(e.key));
            const QString key = QLatin1String(e.key);
            connect(a, &QAction::triggered, this,
                    [this, key] { dispatcher_->Traiter_Fichier(key); });
        }
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
        ctx_.engine.question(), questions::ChoicePicture::stateTips(ctx_.model), client_);
    Pic_Choix->setObjectName(QStringLiteral("Pic_Choix"));
    Pic_Choix->hide();
    Liste_Esp = new QListView(client_);
    Liste_Esp->setObjectName(QStringLiteral("Liste_Esp"));
    listModel_ = new documents::SpeciesListModel(
        [this](int line) {
            return listFromLoading_ ? ctx_.model.SpeciesListLines.value(line)
                                    : ctx_.engine.listLine(line);
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
    statusPanel1_ = new QLabel(sbStatusBar);
    statusPanel1_->setFrameShape(QFrame::Panel);
    statusPanel1_->setFrameShadow(QFrame::Sunken);
    statusPanel2_ = new QLabel(sbStatusBar);
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
    ctx_.engine.state().DescriptionModified = false;
    // Before the first ranking every species is listed at 100 %, as loading wrote it.
    listFromLoading_ = true;
    listModel_->reset(int(ctx_.model.SpeciesListLines.size()));
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
    // The toolbars have no recovery of their own: what cannot be built is left out and said
    // on the error output.
    if (!toolbars_->Charge_Barre_Deter(Barre_Deter))
        qWarning("%s", qPrintable(toolbars_->errorString()));
    if (!toolbars_->Charge_Barre_Question(Barre_Question))
        qWarning("%s", qPrintable(toolbars_->errorString()));
    // The buttons are reached with Tab, like every other control.
    for (QToolBar* bar : {Barre_Deter, Barre_Question})
        for (QAction* a : bar->actions())
            if (QWidget* button = bar->widgetForAction(a)) button->setFocusPolicy(Qt::TabFocus);
    const auto text = [this](int k) { return ctx_.strings.textOr(k, QString::number(k)); };
    Dock_Questions->setWindowTitle(text(1640));
    Panel_Questions->setTexts(text(1644), text(1641), text(1645));
    refreshQuestionsPanel();
    setQuestionsPanelShown(ctx_.settings.questionsPanelShown());
    pendingEvents();
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
        Legende->setToolTip(ctx_.engine.legend());
        refreshQuestionsPanel();
    }
    repaintDrawing();
    return true;
}

void frmMain::dropContradictions() {
    questions_->dropContradictions();
}

void frmMain::showIdentificationView() {
    // Answering from the keyboard goes back to the list the question came from.
    const bool answering = Pic_Choix->hasFocus();
    setView(1);
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

// Nothing is said when there is no help page; a page the desktop cannot open is shown in a
// window of the program, kept and brought back by the next request.
void frmMain::openHelp() {
    const QString path = helpPath(ctx_.values.ProgramDir);
    if (path.isEmpty() || openHelpOnDesktop(path)) return;
    if (!path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)) return;
    if (!helpWindow_) {
        helpWindow_ = new QWidget(this, Qt::Window);
        helpWindow_->setObjectName(QStringLiteral("frmHelp"));
        helpWindow_->setAttribute(Qt::WA_DeleteOnClose);
        auto* view = new documents::DocumentView(helpWindow_);
        auto* column = new QVBoxLayout(helpWindow_);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(view);
        const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        helpWindow_->resize(area.size() * 3 / 4);
        view->setOffline(true);
        // The help reads the files of its own folder and nothing else.
        view->setDocumentFolders({QFileInfo(path).absolutePath()});
        view->Navigate2(QUrl::fromLocalFile(path).toString(), 0);
    }
    helpWindow_->setWindowTitle(ctx_.strings.textOr(1050, QStringLiteral("Vireka")) +
                                QStringLiteral(" - ") +
                                ctx_.strings.textOr(1020, QString()).remove(QLatin1Char('&')));
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void frmMain::mnuViewOptions_Click() {
    OptionValues values{ctx_.values.ListThreshold,
                        ctx_.values.DynamicCursor,
                        ctx_.values.DocSource,
                        ctx_.values.DocAddress,
                        ctx_.LanguageCode,
                        [this](std::int16_t code) { ctx_.strings.setLanguageCode(code); }};
    frmOptions dialog(values, ctx_.settings, ctx_.strings, ctx_.dialogs, this);
    dialog.exec();
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
    if (!ctx_.DocSuffix.isEmpty()) species_->DocSuffix = ctx_.DocSuffix;
    connectDrawingSheets();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    timer->start(100);
}

void frmMain::connectDrawingSheets() {
    documents::DrawingSheets::Hooks hooks;
    hooks.Enable_Button = [this](const QString& key) { Enable_Button(key); };
    hooks.Disable_Button = [this](const QString& key) { Disable_Button(key); };
    hooks.pendingEvents = [this] { pendingEvents(); };
    hooks.restorePointer = [this] {
        while (busyDepth_ > 0) setBusy(false);
    };
    hooks.legendCaption = [this] { return ctx_.strings.textOr(1400, QStringLiteral("Legend")); };
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

void frmMain::Timer1_Timer() {
    if (WebTexte->ReadyState() != 4 || !WebTexte->isVisible()) return;
    if (Liste_Esp->isVisible() && listModel_->rowCount() == 0) return;  // no document to leave
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

void frmMain::showContradictions() {
    const QModelIndex current = Liste_Esp->currentIndex();
    questions_->showContradictions(current.isValid() ? current.row() : -1);
}

void frmMain::showQuestionView() {
    ViewMode = 2;
    Robot->hide();
    Pic_Choix->show();
    Pic_Choix->raise();
    placeQuestionHeading(toPixels(layout_.choicePicture));
    Panel_Questions->selectQuestion(ctx_.engine.question().CurrentObject);
    Pic_Choix->setFocus();
}

void frmMain::showResultsView() {
    setView(3);
}

void frmMain::setStatusText(const QString& text) {
    statusPanel1_->setText(text);
}

}  // namespace shell
