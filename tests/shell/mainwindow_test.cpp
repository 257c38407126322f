#include "mainwindowfixture.h"

#include "documents/documentview.h"
#include "engine/identificationfile.h"
#include "platform/wmfwriter.h"
#include "questions/drawingview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

using Answer = platform::Dialogs::Answer;

namespace {

QString line(const QListView* list, int row) {
    return list->model()->index(row, 0).data().toString();
}

}  // namespace

TEST_F(MainWindowTest, StartsInTheIdentificationViewWithNothingToSave) {
    shell::frmMain& w = open();
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_TRUE(w.pane("Robot")->isVisible());
    EXPECT_FALSE(w.pane("Liste_Esp")->isVisible());
    EXPECT_FALSE(w.menuAction("mnuFileSave")->isEnabled());
    EXPECT_FALSE(w.menuAction("mnuFileSaveAs")->isEnabled());
    EXPECT_FALSE(engine->state().DescriptionModified);
    EXPECT_EQ(visibleToolbarKeys(w), QStringList({"New", "Open", "Save", "Copy", "Print", "Help"}));
    EXPECT_FALSE(w.toolbarEntry(3)->isEnabled()) << "Save";
    EXPECT_TRUE(w.toolbarEntry(5)->isEnabled()) << "Copy: the drawing is shown";
    EXPECT_TRUE(w.menuAction("mnuEditCopy")->isEnabled());
    EXPECT_TRUE(w.windowTitle().startsWith("Vireka V.1.0"));
    EXPECT_EQ(w.menuAction("mnuFileSave")->text(), QString("&Save"));
}

TEST_F(MainWindowTest, TheSpeciesListAndTreeComeFromTheKnowledgeBase) {
    shell::frmMain& w = open();
    auto* list = qobject_cast<QListView*>(w.pane("Liste_Esp"));
    ASSERT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(line(list, 0), QString(" 0% - Alpha alpha"));
    auto* tree = qobject_cast<QTreeView*>(w.pane("Tree_esp"));
    const QAbstractItemModel* nodes = tree->model();
    ASSERT_EQ(nodes->rowCount(), 3);
    const QModelIndex families = nodes->index(0, 0);
    EXPECT_EQ(families.data().toString(), QString("Families"));
    // The branch is read when it is first opened, as the view asks for it then.
    ASSERT_TRUE(nodes->canFetchMore(families));
    tree->model()->fetchMore(families);
    EXPECT_EQ(nodes->index(0, 0, families).data().toString(), QString("Alphidae"));
    EXPECT_EQ(w.findChild<QLabel*>("Legende")->text(), QString(" 3 species at 0 %"));
}

TEST_F(MainWindowTest, TheViewMenuSwitchesViewsAndToolbarEntries) {
    shell::frmMain& w = open();
    w.menuAction("mnuViewResults")->trigger();
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Results);
    EXPECT_TRUE(w.pane("Liste_Esp")->isVisible());
    EXPECT_TRUE(w.pane("WebTexte")->isVisible());
    EXPECT_TRUE(w.pane("Small_Robot")->isVisible());
    EXPECT_FALSE(w.pane("Robot")->isVisible());
    EXPECT_TRUE(w.menuAction("mnuViewResults")->isChecked());
    EXPECT_FALSE(w.menuAction("mnuViewIdentification")->isChecked());
    // Local documents: entries 13 to 18, not Stop; Errors is not offered while every
    // percentage is 0.
    EXPECT_EQ(visibleToolbarKeys(w),
              QStringList({"New", "Open", "Save", "Copy", "Print", "Help", "Arriere", "Avant"}));

    w.menuAction("mnuViewSpecies")->trigger();
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Species);
    EXPECT_TRUE(w.pane("Tree_esp")->isVisible());
    EXPECT_FALSE(w.pane("Liste_Esp")->isVisible());

    // Choosing the view already marked changes nothing.
    w.menuAction("mnuViewSpecies")->trigger();
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Species);
    EXPECT_TRUE(w.menuAction("mnuViewSpecies")->isChecked());

    w.menuAction("mnuViewIdentification")->trigger();
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_FALSE(w.pane("Tree_esp")->isVisible());
    EXPECT_EQ(visibleToolbarKeys(w).size(), 6);
}

TEST_F(MainWindowTest, HidingTheToolbarMovesTheDrawingUp) {
    shell::frmMain& w = open();
    const QRect before = w.pane("Robot")->geometry();
    w.menuAction("mnuViewToolbar")->trigger();
    const QRect after = w.pane("Robot")->geometry();
    EXPECT_LT(after.top(), before.top());
    EXPECT_GE(after.height(), before.height());
    EXPECT_NEAR(double(after.width()) / after.height(), 4.0 / 3.0, 0.01);
}

TEST_F(MainWindowTest, ClosingAsksAndKeepsRunningOnNo) {
    shell::frmMain& w = open();
    dialogs.answers = {Answer::No};
    EXPECT_FALSE(w.close());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, QString("Do you really want to quit Vireka V.1.0 ?"));
    EXPECT_TRUE(w.isVisible());
    dialogs.answers = {Answer::Yes};
    EXPECT_TRUE(w.close());
}

TEST_F(MainWindowTest, ClosingWithUnsavedWorkAndACancelledSaveKeepsTheProgram) {
    shell::frmMain& w = open();
    engine->state().StateChoice[0] = 1;
    w.showRefresh(engine->Actualise_Identification());
    ASSERT_TRUE(engine->state().DescriptionModified);
    // Quit: Yes; save: Yes; the save dialog is cancelled (no file name scripted).
    dialogs.answers = {Answer::Yes, Answer::Yes};
    EXPECT_FALSE(w.close());
    EXPECT_EQ(dialogs.asked.size(), 2u);
    EXPECT_TRUE(engine->state().DescriptionModified);
}

TEST_F(MainWindowTest, SavedIdentificationReopensToTheSameRanking) {
    shell::frmMain& w = open();
    engine->state().StateChoice = {1, 0, 0, 0, 1};
    engine->state().FrameState = {-1, 0};
    w.showRefresh(engine->Actualise_Identification());
    EXPECT_TRUE(w.toolbarEntry(3)->isEnabled());
    const QStringList ranking = engine->listLines();
    const QString path = settingsDir.filePath("specimen.qnt");
    dialogs.fileNames = {path};
    w.dispatcher().Traiter_Fichier("Save");
    EXPECT_FALSE(engine->state().DescriptionModified);
    EXPECT_TRUE(w.windowTitle().endsWith(" [" + path + "]"));
    EXPECT_FALSE(w.toolbarEntry(3)->isEnabled());

    dialogs.answers = {};
    w.dispatcher().Traiter_Fichier("New");
    EXPECT_EQ(engine->state().StateChoice, (std::vector<platform::i16>{0, 0, 0, 0, 0}));
    EXPECT_FALSE(w.windowTitle().contains('['));

    w.dispatcher().Traiter_Fichier("Open", path);
    EXPECT_EQ(engine->state().StateChoice, (std::vector<platform::i16>{1, 0, 0, 0, 1}));
    EXPECT_EQ(engine->state().FrameState, (std::vector<platform::i16>{-1, 0}));
    EXPECT_EQ(engine->listLines(), ranking);
    EXPECT_FALSE(engine->state().DescriptionModified);
    EXPECT_TRUE(w.menuAction("mnuFileSaveAs")->isEnabled());
}

TEST_F(MainWindowTest, NewWithUnsavedWorkAndACancelledSaveKeepsTheWork) {
    shell::frmMain& w = open();
    engine->state().StateChoice[1] = 1;
    w.showRefresh(engine->Actualise_Identification());
    dialogs.answers = {Answer::Yes};  // save first; then the save dialog is cancelled
    w.dispatcher().Traiter_Fichier("New");
    EXPECT_EQ(engine->state().StateChoice[1], 1);
    EXPECT_EQ(dialogs.asked.front().title, QString("New identification"));
}

TEST_F(MainWindowTest, OpeningAFileOfAnotherKnowledgeBaseChangesNothing) {
    shell::frmMain& w = open();
    const QString path = settingsDir.filePath("foreign.qnt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromHex("0500 0000 0000 0000 0000 0000 0000"));
    f.close();
    const QString caption = w.windowTitle();
    w.dispatcher().Traiter_Fichier("Open", path);
    EXPECT_EQ(engine->state().StateChoice, (std::vector<platform::i16>{0, 0, 0, 0, 0}));
    EXPECT_EQ(w.windowTitle(), caption);
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_TRUE(dialogs.asked.back().text.contains("not an identification"));
}

TEST_F(MainWindowTest, OpeningAMissingFileSaysItIsUnavailable) {
    shell::frmMain& w = open();
    const QString path = settingsDir.filePath("Missing.QNT");
    w.dispatcher().Traiter_Fichier("Open", path);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, path + " unavailable !");
}

TEST_F(MainWindowTest, UnknownCommandsAndOtherCaseDoNothing) {
    shell::frmMain& w = open();
    engine->state().StateChoice[0] = 1;
    w.dispatcher().Traiter_Fichier("new");
    w.dispatcher().Traiter_Fichier("Nothing");
    EXPECT_EQ(engine->state().StateChoice[0], 1);
    EXPECT_TRUE(dialogs.asked.empty());
    w.dispatcher().Traiter_Fichier("Avant");
    EXPECT_EQ(w.dispatcher().forwardSteps(), 0);
    w.dispatcher().Traiter_Fichier("Arriere");
    EXPECT_EQ(w.dispatcher().forwardSteps(), 1);
}

TEST_F(MainWindowTest, TheWindowSpeaksFrench) {
    shell::frmMain& w = open(2);
    EXPECT_EQ(w.menuAction("mnuViewSpecies")->text().isEmpty(), false);
    EXPECT_NE(w.menuAction("mnuFileSave")->text(), QString("&Save"));
    EXPECT_NE(w.menuAction("mnuFileSave")->text(), QString("1003"));
    EXPECT_EQ(w.font().pointSize(), 8);
}

TEST_F(MainWindowTest, ASpecimenIsDescribedFromTheDrawingAlone) {
    shell::frmMain& w = open();
    QWidget* robot = w.pane("Robot");
    // The middle of the drawing is painted in the first palette colour, the wing's.
    QTest::mouseClick(robot, Qt::LeftButton, Qt::NoModifier, robot->rect().center());
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Question);
    EXPECT_EQ(engine->question().CurrentObject, QString("AILE"));
    QWidget* choices = w.pane("Pic_Choix");
    ASSERT_TRUE(choices->isVisible());
    QTest::mouseClick(choices, Qt::LeftButton, Qt::NoModifier,
                      QPoint(choices->width() / 4, choices->height() / 2));
    EXPECT_EQ(engine->question().SelectedChoice, 0);
    auto* questionBar = w.findChild<QToolBar*>("Barre_Question");
    ASSERT_TRUE(questionBar && questionBar->isVisible());
    questionBar->actions().first()->trigger();  // confirm
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_EQ(engine->state().StateChoice[0], 1);
    EXPECT_EQ(engine->state().FrameState[0], -1);
    auto* list = qobject_cast<QListView*>(w.pane("Liste_Esp"));
    EXPECT_EQ(line(list, 0), QString(" 100% - Alpha alpha"));
    // Alpha and Gamma both show the first wing state.
    EXPECT_EQ(w.findChild<QLabel*>("Legende")->text(), QString(" 2 species at 100 %"));
    EXPECT_TRUE(w.toolbarEntry(3)->isEnabled()) << "the answer can be saved";
}

TEST_F(MainWindowTest, TheSpanishLegendIsNotLeftBlank) {
    shell::frmMain& w = open(1);
    EXPECT_EQ(w.findChild<QLabel*>("Legende")->text(), QString(" 3 especies al 0 %"));
    auto* tree = qobject_cast<QTreeView*>(w.pane("Tree_esp"));
    EXPECT_EQ(tree->model()->rowCount(), 2) << "no Spanish text for the common-names root";
}

TEST_F(MainWindowTest, SearchProposesAQuestionThroughTheCharacterToolbar) {
    shell::frmMain& w = open();
    auto* deter = w.findChild<QToolBar*>("Barre_Deter");
    ASSERT_TRUE(deter && deter->isVisible());
    QAction* search = nullptr;
    for (QAction* a : deter->actions())
        if (a->data().toString() == "Search") search = a;
    ASSERT_TRUE(search);
    search->trigger();
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Question);
    EXPECT_FALSE(engine->question().CurrentObject.isEmpty());
    EXPECT_TRUE(w.pane("Pic_Choix")->isVisible());
    EXPECT_FALSE(deter->isVisible());
    EXPECT_TRUE(w.findChild<QToolBar*>("Barre_Question")->isVisible());
}

TEST_F(MainWindowTest, ContradictionMarksGoWhenTheResultsAreShown) {
    base.contradictions = {{"AILE", -1}};
    base.write();
    base.writePictures();
    QDir().mkpath(base.dataDir() + "CONTRA");
    platform::WmfWriter overlay(QSize(2400, 1800));
    overlay.selectObject(overlay.createSolidBrush(QColor(0, 0, 0xff)));
    overlay.rectangle(QRect(0, 0, 300, 300));
    // The overlay's name is its "Popup" followed by the last six characters of the variant.
    ASSERT_TRUE(overlay.save(base.dataDir() + "CONTRA/ailese.wmf"));
    shell::frmMain& w = open();
    engine->state().StateChoice[1] = 1;  // A2: shown by Beta only
    w.showRefresh(engine->Actualise_Identification());
    w.menuAction("mnuViewResults")->trigger();
    auto* list = qobject_cast<QListView*>(w.pane("Liste_Esp"));
    // Errors works on the species whose document is shown: one without A2 is opened.
    list->setCurrentIndex(list->model()->index(1, 0));
    emit list->clicked(list->model()->index(1, 0));
    const QImage plain = qobject_cast<questions::DrawingView*>(w.pane("Robot"))->image();
    w.toolbarEntry(17)->trigger();  // Errors
    EXPECT_TRUE(dialogs.asked.empty()) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_EQ(engine->state().ExtraLayerCount, 1);
    EXPECT_EQ(w.layers().size(), model.DrawingCount + 1);
    EXPECT_NE(qobject_cast<questions::DrawingView*>(w.pane("Robot"))->image(), plain);
    w.menuAction("mnuViewResults")->trigger();
    EXPECT_EQ(engine->state().ExtraLayerCount, 0);
    EXPECT_EQ(w.layers().size(), model.DrawingCount);
}

TEST_F(MainWindowTest, CopyPutsTheDrawingOnTheClipboardButNotADocument) {
    shell::frmMain& w = open();
    QApplication::clipboard()->setText("before");
    w.dispatcher().Traiter_Fichier("Copy");
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), w.pane("Robot")->size());
    // The wing colour fills the middle of the drawing.
    EXPECT_EQ(copied.pixelColor(copied.rect().center()), base.colours[0]);

    w.menuAction("mnuViewResults")->trigger();
    EXPECT_FALSE(w.toolbarEntry(5)->isEnabled());
    EXPECT_FALSE(w.menuAction("mnuEditCopy")->isEnabled());
    QApplication::clipboard()->setText("kept");
    w.dispatcher().Traiter_Fichier("Copy");
    EXPECT_EQ(QApplication::clipboard()->text(), QString("kept"));
}

TEST_F(MainWindowTest, ANewThresholdFromTheOptionsRefillsTheList) {
    shell::frmMain& w = open();
    engine->state().StateChoice[0] = 1;  // Alpha and Gamma at 100 %, Beta at 0 %
    w.showRefresh(engine->Actualise_Identification());
    const QString legend = w.findChild<QLabel*>("Legende")->text();
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog);
        dialog->findChild<QRadioButton*>("optAbove")->click();
        dialog->findChild<QSlider*>("sldThreshold")->setValue(50);
        dialog->findChild<QPushButton*>("cmdOK")->click();
    });
    w.menuAction("mnuViewOptions")->trigger();
    auto* list = qobject_cast<QListView*>(w.pane("Liste_Esp"));
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(line(list, 1), QString(" 100% - Gamma gamma"));
    EXPECT_EQ(w.findChild<QLabel*>("Legende")->text(), legend) << "the legend is not recomputed";
    EXPECT_EQ(settings->read()->ListThreshold, 50);
}

TEST_F(MainWindowTest, BackAndForwardAreOfferedOnlyWhenTheyLeadSomewhere) {
    base.exec("ALTER TABLE Flore ADD COLUMN Legende TEXT; UPDATE Flore SET Legende = 'male'");
    QDir().mkpath(base.dataDir() + "s/sp1");
    for (const char* name : {"sp1_en.html", "sp1_ds.html"}) {
        QFile page(base.dataDir() + "s/sp1/" + name);
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html><body><h1>Alpha alpha</h1></body></html>");
    }
    shell::frmMain& w = open();
    auto* view = w.findChild<documents::DocumentView*>("WebTexte");
    ASSERT_TRUE(view);
    QSignalSpy complete(view, &documents::DocumentView::DocumentComplete);
    w.menuAction("mnuViewResults")->trigger();  // opens the first line's species: Alpha alpha
    ASSERT_TRUE(complete.count() > 0 || complete.wait(15000));
    const QString own = view->LocationURL();
    EXPECT_TRUE(own.endsWith("sp1_en.html")) << own.toStdString();
    w.Timer1_Timer();
    EXPECT_FALSE(w.toolbarEntry(14)->isEnabled()) << "Back, on the species' own document";
    EXPECT_FALSE(w.toolbarEntry(15)->isEnabled()) << "Forward, with nothing ahead";
    // A count of steps the view does not have offers nothing.
    w.dispatcher().setForwardSteps(1);
    w.Timer1_Timer();
    EXPECT_FALSE(w.toolbarEntry(15)->isEnabled());
    w.dispatcher().setForwardSteps(0);

    // A link followed inside the document: Back leads to the species' document again.
    const QString sheet = QString(own).replace("sp1_en.html", "sp1_ds.html");
    complete.clear();
    view->Navigate2(sheet, 0);
    ASSERT_TRUE(complete.wait(15000));
    w.Timer1_Timer();
    EXPECT_TRUE(w.toolbarEntry(14)->isEnabled());
    // The sheet shows the species' legend in its own window, beside the splitter; Back
    // puts it away.
    QWidget* legend = w.findChild<QWidget*>("frmLegende");
    ASSERT_TRUE(legend);
    EXPECT_TRUE(legend->isVisible());
    EXPECT_LT(legend->x(), w.pane("Barre_Verticale")->mapToGlobal(QPoint(0, 0)).x());
    complete.clear();
    w.dispatcher().Traiter_Fichier("Arriere");
    EXPECT_FALSE(legend->isVisible());
    ASSERT_TRUE(complete.wait(15000));
    EXPECT_EQ(view->LocationURL(), own);
    w.Timer1_Timer();
    EXPECT_FALSE(w.toolbarEntry(14)->isEnabled());
    EXPECT_TRUE(w.toolbarEntry(15)->isEnabled());

    // A page the program opened away from the species' document has nothing behind it.
    complete.clear();
    view->Navigate2(sheet, documents::DocumentNavigator::NavLocalDocument);
    ASSERT_TRUE(complete.wait(15000));
    w.dispatcher().setForwardSteps(0);
    w.Timer1_Timer();
    EXPECT_FALSE(w.toolbarEntry(14)->isEnabled()) << "Back, with no step behind";
    EXPECT_FALSE(w.toolbarEntry(15)->isEnabled());
}
