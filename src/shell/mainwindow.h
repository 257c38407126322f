#pragma once

#include "commands/commanddispatcher.h"
#include "commands/commandui.h"
#include "kb/basetexts.h"
#include "platform/settings.h"
#include "questions/layerstack.h"
#include "questions/questionhost.h"
#include "shell/windowlayout.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QDockWidget;
class QFrame;
class QLabel;
class QListView;
class QMenu;
class QToolBar;
class QTreeView;

namespace commands {
class PrintCommand;
}
namespace documents {
class DocumentPrinter;
class DocumentView;
class DrawingSheets;
class SpeciesDocuments;
class SpeciesListModel;
}  // namespace documents
namespace engine {
class Engine;
}
namespace kb {
class Model;
}
namespace platform {
class Dialogs;
class StringTable;
}  // namespace platform
namespace questions {
class CharacterToolbars;
class ChoicePicture;
class DrawingView;
class MeasureField;
class QuestionController;
class QuestionsPanel;
}  // namespace questions

namespace shell {

using View = questions::ViewMode;

class frmHelp;
enum class MenuCommand;
struct MenuRow;
class QtTranslations;
class SpeciesComparer;

// What the main window works with; start-up builds it and keeps it alive for the run.
struct ProgramContext {
    kb::Model& model;
    engine::Engine& engine;
    platform::StringTable& strings;
    platform::Settings& settings;
    platform::Dialogs& dialogs;
    platform::Settings::Values values;  // the settings of the run, changed by the options
    std::int16_t LanguageCode = 0;
    QString DocSuffix;  // language of the documents; empty: taken from the first one shown
    // Why the document viewer cannot start on this machine; empty when it can.
    QString documentsUnavailable;
    // Qt's own texts, reloaded when the options change the language; may be null.
    QtTranslations* qtTranslations = nullptr;
};

// The inner area of a window whose frame (caption and borders) covers the work area.
QRect clientRectForWorkArea(const QRect& workArea, const QMargins& frame);

// Separators 10 to 12 only keep the numbering of the toolbar's entries; no view shows them.
bool alwaysHiddenEntry(int entry);

class frmMain : public QMainWindow, public commands::CommandUi, public questions::QuestionHost {
    Q_OBJECT
public:
    explicit frmMain(ProgramContext context, QWidget* parent = nullptr);
    ~frmMain() override;

    View ViewMode = View::Identification;

    // The window's part of start-up: translation, the species list and tree, the first
    // refresh. False when a drawing layer cannot be loaded (the program must end).
    bool load();

    commands::CommandDispatcher& dispatcher() { return *dispatcher_; }
    questions::LayerStack& layers() { return layers_; }
    questions::QuestionController& questions() { return *questions_; }

    // The panes, laid out by Dispose_Fenetre.
    Layout Dispose_Fenetre();
    void Vue_Identification();
    void Vue_Resultats();
    void Vue_Especes();
    // Places the window so that its frame covers the desktop's work area (start-up and a
    // change of display); the window manager's frame is known once the window is shown.
    void fitToWorkArea();
    void fillSpeciesTree();
    // The species list follows the current ranking (after a refresh or a threshold change).
    void refillSpeciesList();
    // Copy (button and menu item) is offered while the drawing or the choices are shown.
    void setCopyEnabled(bool enabled);
    // Every 100 ms: Back is offered away from the species' own document, Forward while
    // Forward has steps to retrace; neither when the view has no such step.
    void Timer1_Timer();
    // The drawing sheets: legend and zoom windows, picture events.
    documents::DrawingSheets& sheets() { return *sheets_; }
    // Print and the identification report.
    commands::PrintCommand& printing() { return *print_; }
    documents::DocumentPrinter& documentPrinter() { return *documentPrinter_; }

    // The questions panel: the dock beside the views, or the drawing's place in a base
    // without a drawing.
    questions::QuestionsPanel* questionsPanel() const { return Panel_Questions; }
    QDockWidget* questionsDock() const { return Dock_Questions; }
    // The name of the objects that follow the panes' events for the window.
    static constexpr const char* EventHookName = "frmMainEventHook";
    // Lists the questions afresh and selects the open or proposed one.
    void refreshQuestionsPanel();
    // After the interface language changed: every text of the base shown follows it.
    void applyBaseLanguage();
    // Opens a question as its toolbar button does.
    void openFromPanel(const QString& key);
    // Withdraws an answer with its dependants and ranks again.
    void forgetAnswer(const QString& key);
    // Undo (true) or Redo: the description before or after, ranked again.
    void stepDescription(bool back);

    // Qt's own texts to reload when the language changes.
    void useQtTranslations(QtTranslations* translations) { ctx_.qtTranslations = translations; }

    // The toolbar entry n (1 .. 22, separators counted).
    QAction* toolbarEntry(int n) const;
    QAction* menuAction(const QString& name) const;
    QWidget* pane(const QString& name) const;
    SpeciesComparer* comparer() const { return comparer_; }

    // commands::CommandUi
    void setCaption(const QString& caption) override;
    void setSaveMenuEnabled(bool enabled) override;
    bool saveMenuEnabled() const override;
    void setSaveAsMenuEnabled(bool enabled) override;
    void Enable_Button(const QString& key) override;
    void Disable_Button(const QString& key) override;
    void setBusy(bool busy) override;
    void pendingEvents() override;
    void clearStatusPanel() override;
    void repaintDrawing() override;
    bool loadLayer(int layer, const QString& path) override;
    bool showRefresh(const engine::RefreshResult& result) override;
    void dropContradictions() override;
    void showIdentificationView() override;
    void copyPicture() override;
    void printDocument() override;
    void openHelp() override;
    void documentBack() override;
    void documentForward() override;
    void documentStop() override;
    void showContradictions() override;

    // questions::QuestionHost
    View viewMode() const override { return ViewMode; }
    void setViewMode(View mode) override { ViewMode = mode; }
    void showQuestionView() override;
    void showResultsView() override;
    bool refreshShown(const engine::RefreshResult& result) override { return showRefresh(result); }
    void setStatusText(const QString& text) override;

signals:
    // The program must end at once (a fatal error was shown).
    void fatal();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildPanes();
    void buildStatusBar();
    QAction* addMenuItem(QMenu* menu, const MenuRow& row);
    void runMenuCommand(MenuCommand command, QAction* item);
    void chooseView(QAction* item, View mode);
    void refreshViews();
    void setView(View mode);
    void applyLayout(const Layout& layout);
    LayoutInput layoutInput() const;
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;
    QRect toPixels(const QRectF& twips) const;
    void showDocumentEntries();
    void withdrawSpeciesCommands();
    void refitWhenFramed();
    void placeResultBox();
    void followResize();
    void toggleBar(QAction* item, QWidget* bar);
    void dropSplitter();
    void mnuViewOptions_Click();
    void connectSpeciesDocuments();
    void connectDrawingSheets();
    QString initialDocSuffix() const;
    QStringList documentFolders() const;
    void refreshDocument();
    void AdvSysInfo_DisplayChanged();
    void buildQuestionsPanel();
    void buildPrinting();
    void setQuestionsPanelShown(bool shown);
    void updateHistoryActions();
    void rankAgain();
    void placeQuestionHeading(const QRect& choices);
    // The texts of the base in the interface's language ("Textes"), read at start-up.
    void setUpBaseTexts();
    void relistQuestions();
    QString baseTextLanguage() const;
    void fitCharacterToolbar();
    bool drawingLess() const;

    ProgramContext ctx_;
    questions::LayerStack layers_;
    std::unique_ptr<commands::CommandDispatcher> dispatcher_;
    Layout layout_;

    QWidget* client_ = nullptr;  // the window's inner area: toolbar, panes, status bar
    QToolBar* tbToolBar = nullptr;
    QWidget* sbStatusBar = nullptr;
    QLabel* statusPanel1_ = nullptr;
    QLabel* statusPanel2_ = nullptr;  // under the result box
    QFrame* Resultat = nullptr;
    QLabel* Legende = nullptr;
    questions::DrawingView* Robot = nullptr;
    questions::DrawingView* Small_Robot = nullptr;
    questions::ChoicePicture* Pic_Choix = nullptr;
    QListView* Liste_Esp = nullptr;
    documents::SpeciesListModel* listModel_ = nullptr;
    bool listFromLoading_ = false;  // the list shows the lines of loading, not a ranking
    QTreeView* Tree_esp = nullptr;
    QFrame* Barre_Verticale = nullptr;
    documents::DocumentView* WebTexte = nullptr;
    documents::SpeciesDocuments* species_ = nullptr;
    documents::DrawingSheets* sheets_ = nullptr;
    QToolBar* Barre_Deter = nullptr;
    QToolBar* Barre_Question = nullptr;
    questions::CharacterToolbars* toolbars_ = nullptr;
    questions::QuestionController* questions_ = nullptr;
    QPointer<frmHelp> helpWindow_;  // the help pages
    QDockWidget* Dock_Questions = nullptr;
    questions::QuestionsPanel* Panel_Questions = nullptr;
    QLabel* Titre_Question = nullptr;  // the open question, above its picture of choices
    questions::MeasureField* Mesure_Champ = nullptr;  // the value of a measured question
    std::unique_ptr<commands::PrintCommand> print_;
    documents::DocumentPrinter* documentPrinter_ = nullptr;
    QList<QAction*> toolbarEntries_;
    QHash<QString, QAction*> menuItems_;
    int busyDepth_ = 0;
    bool splitterDragging_ = false;
    int frameChecks_ = 0;      // looks for the window manager's frame after the window is shown
    bool layoutDone_ = false;  // the panes are placed by resizes only once laid out
    SpeciesComparer* comparer_ = nullptr;  // "Compare with..." from the list and the tree
    kb::BaseTexts baseTexts_;              // the base's texts in other languages
};

}  // namespace shell
