#include "mainwindowfixture.h"

#include "documents/documentview.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

namespace {

// Stands for the desktop's opener of local pages: records what it is given.
class DesktopOpener : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

QAction* deterEntry(shell::frmMain& w, const QString& key) {
    for (QAction* a : w.findChild<QToolBar*>("Barre_Deter")->actions())
        if (a->data().toString() == key) return a;
    return nullptr;
}

}  // namespace

// The frame the window manager draws round the window is part of what must fit.
TEST(WorkArea, TheFrameWithItsCaptionFitsTheWorkArea) {
    const QRect work(0, 0, 1024, 740);  // a 28-pixel panel at the bottom of 1024 x 768
    const QRect inner = shell::clientRectForWorkArea(work, QMargins(4, 24, 4, 4));
    EXPECT_EQ(inner, QRect(4, 24, 1016, 712));
    EXPECT_TRUE(work.contains(inner.marginsAdded(QMargins(4, 24, 4, 4))));
    EXPECT_EQ(shell::clientRectForWorkArea(QRect(0, 30, 1280, 770), QMargins()),
              QRect(0, 30, 1280, 770));
}

// Hiding the status bar leaves the species count where it was, over the bar's second panel.
TEST_F(MainWindowTest, TheSpeciesCountOutlivesTheStatusBar) {
    shell::frmMain& w = open();
    auto* legend = w.findChild<QLabel*>("Legende");
    QWidget* box = w.findChild<QWidget*>("Resultat");
    const QRect shown = box->geometry();
    w.menuAction("mnuViewStatusBar")->trigger();
    EXPECT_FALSE(w.findChild<QWidget*>("sbStatusBar")->isVisible());
    EXPECT_TRUE(legend->isVisible());
    EXPECT_EQ(legend->text(), " 3 species at 0 %");
    EXPECT_EQ(box->geometry(), shown);
    EXPECT_TRUE(box->parentWidget()->rect().contains(box->geometry()));
    w.menuAction("mnuViewStatusBar")->trigger();
    EXPECT_TRUE(legend->isVisible());
    EXPECT_EQ(box->geometry(), shown);
}

// Confirm and Cancel stand only beside their question: not over a document, and back when
// the question is asked again.
TEST_F(MainWindowTest, TheQuestionToolbarGoesWithItsQuestion) {
    shell::frmMain& w = open();
    auto* questionBar = w.findChild<QToolBar*>("Barre_Question");
    for (const char* view : {"mnuViewResults", "mnuViewSpecies"}) {
        w.menuAction("mnuViewIdentification")->trigger();
        deterEntry(w, "AILE")->trigger();
        ASSERT_EQ(w.ViewMode, questions::ViewMode::Question);
        ASSERT_TRUE(questionBar->isVisible());
        w.menuAction(view)->trigger();
        EXPECT_FALSE(questionBar->isVisible()) << view;
        EXPECT_FALSE(w.pane("Pic_Choix")->isVisible()) << view;
    }
    w.menuAction("mnuViewIdentification")->trigger();
    EXPECT_FALSE(questionBar->isVisible());
    deterEntry(w, "AILE")->trigger();
    EXPECT_TRUE(questionBar->isVisible());
    EXPECT_TRUE(w.pane("Pic_Choix")->isVisible());
}

// A threshold above every species empties the list: there is no document to go back or
// forward from, and no species whose contradictions could be shown.
TEST_F(MainWindowTest, AnEmptyListOffersNoSpeciesCommands) {
    shell::frmMain& w = open();
    // Wing state 1: Alpha and Gamma at 100 %, Beta at 0 %; nobody reaches 101 %.
    engine->state().StateChoice[0] = 1;
    engine->setListThreshold(101);
    w.showRefresh(engine->Actualise_Identification());
    auto* list = qobject_cast<QListView*>(w.pane("Liste_Esp"));
    w.menuAction("mnuViewResults")->trigger();
    ASSERT_EQ(list->model()->rowCount(), 0);
    EXPECT_FALSE(visibleToolbarKeys(w, 13).contains("Contra"));
    EXPECT_FALSE(w.toolbarEntry(14)->isEnabled()) << "Back";
    EXPECT_FALSE(w.toolbarEntry(15)->isEnabled()) << "Forward";
    ASSERT_TRUE(documentStepsChecked(w));
    EXPECT_FALSE(w.toolbarEntry(14)->isEnabled()) << "Back";
    EXPECT_FALSE(w.toolbarEntry(15)->isEnabled()) << "Forward";
}

// Before the first ranking the list shows every species at 100 %, as loading wrote it: a
// start-up stopped by a drawing layer that cannot be read leaves those lines.
TEST_F(MainWindowTest, TheListBeforeTheFirstRankingComesFromLoading) {
    base.write();
    ASSERT_TRUE(QFile::remove(base.dataDir() + "00/base.wmf"));
    settings = std::make_unique<platform::Settings>(settingsDir.filePath("vireka.ini"));
    base.install(*settings);
    values = *settings->read();
    ASSERT_TRUE(strings.loadBuiltIn());
    kb::LoadOptions options = base.options();
    ASSERT_TRUE(kb::loadKnowledgeBase(model, options).ok());
    engine = std::make_unique<engine::Engine>(
        model, engine::KeyTables::fromModel(model), dialogs,
        [this](int k) { return strings.text(k); },
        engine::EngineSettings{values.DataDir, values.DrawingDir, values.ListThreshold});
    window = std::make_unique<shell::frmMain>(
        shell::ProgramContext{model, *engine, strings, *settings, dialogs, values, std::int16_t(0),
                              QString(), QString()});
    EXPECT_FALSE(window->load());
    const QAbstractItemModel* lines = qobject_cast<QListView*>(window->pane("Liste_Esp"))->model();
    ASSERT_EQ(lines->rowCount(), 3);
    EXPECT_EQ(lines->index(0, 0).data().toString(), "100% - Alpha alpha");
    EXPECT_EQ(lines->index(2, 0).data().toString(), "100% - Gamma gamma");
}

// The desktop's opener may take the page and show nothing (here it claims a browser and then
// fails): Help is shown in the program's own window, with a link to the desktop's browser.
TEST_F(MainWindowTest, HelpOpensInTheProgramsOwnWindowWithALinkToTheBrowser) {
    QDir().mkpath(base.dataDir() + "help");
    base.writeFile("help/index.html",
                   "<html><head><title>Vireka help</title></head><body>Help</body></html>");
    shell::frmMain& w = open();
    QTemporaryDir desktop;
    const auto script = [&](const char* name, const QByteArray& body) {
        QFile f(desktop.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    script("xdg-mime", "echo browser.desktop");
    script("xdg-open", "exit 4");
    // The desktop takes every local page it is given, and shows nothing.
    DesktopOpener opener;
    QDesktopServices::setUrlHandler("file", &opener, "open");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", desktop.path().toUtf8());
    w.menuAction("mnuHelpContents")->trigger();
    qputenv("PATH", path);
    EXPECT_TRUE(opener.opened.isEmpty()) << "the help is not handed to the desktop";
    QWidget* help = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmHelp") help = top;
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->isVisible());
    auto* link = help->findChild<QLabel*>("Help_Browser");
    ASSERT_TRUE(link);
    EXPECT_TRUE(link->text().contains("Open this page in the web browser"));
    const QUrl page = QUrl::fromLocalFile(base.dataDir() + "help/index.html");
    EXPECT_TRUE(link->text().contains(page.toString(QUrl::FullyEncoded)))
        << link->text().toStdString();
    // The link hands the same page to the desktop's browser.
    emit link->linkActivated(page.toString(QUrl::FullyEncoded));
    EXPECT_EQ(opener.opened, QList<QUrl>{page});
    QDesktopServices::unsetUrlHandler("file");
    auto* view = help->findChild<documents::DocumentView*>();
    ASSERT_TRUE(view);
    QSignalSpy complete(view, &documents::DocumentView::DocumentComplete);
    ASSERT_TRUE(view->LocationURL().endsWith("help/index.html") || complete.wait(15000));
    EXPECT_TRUE(view->LocationURL().endsWith("help/index.html"))
        << view->LocationURL().toStdString();
    // Asked again, the same window comes to the front.
    w.menuAction("mnuHelpContents")->trigger();
    int helpWindows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmHelp") ++helpWindows;
    EXPECT_EQ(helpWindows, 1);
}

#include "mainwindowviews_test.moc"
