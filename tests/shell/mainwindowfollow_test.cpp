#include "mainwindowfixture.h"

#include "documents/documentview.h"
#include "platform/wmfwriter.h"
#include "questions/questionspanel.h"
#include "shell/qttranslations.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

namespace {

// The widgets Tab reaches from start, in order, until it comes back.
QList<QWidget*> tabCycle(QWidget* start) {
    QList<QWidget*> seen;
    start->setFocus();
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || seen.contains(now)) break;
        seen << now;
    }
    return seen;
}

// The first node keyed key, depth first.
QModelIndex findNode(QAbstractItemModel* nodes, const QModelIndex& parent, const QString& key) {
    if (nodes->canFetchMore(parent)) nodes->fetchMore(parent);
    for (int r = 0; r < nodes->rowCount(parent); ++r) {
        const QModelIndex node = nodes->index(r, 0, parent);
        if (node.data(Qt::UserRole).toString() == key) return node;
        const QModelIndex below = findNode(nodes, node, key);
        if (below.isValid()) return below;
    }
    return {};
}

bool reachesBar(const QList<QWidget*>& cycle, QToolBar* bar) {
    for (QWidget* w : cycle)
        if (w->parentWidget() == bar) return true;
    return false;
}

}  // namespace

// The count follows the status bar through a resize by hand and a maximise.
TEST_F(MainWindowTest, TheSpeciesCountFollowsTheStatusBarWhenTheWindowIsResized) {
    shell::frmMain& w = open();
    QWidget* box = w.findChild<QWidget*>("Resultat");
    QWidget* bar = w.findChild<QWidget*>("sbStatusBar");
    for (const QSize size : {QSize(800, 560), QSize(1200, 900)}) {
        w.resize(size);
        QCoreApplication::processEvents();
        const QRect inside = box->parentWidget()->rect();
        EXPECT_TRUE(inside.contains(box->geometry())) << size.width();
        EXPECT_EQ(bar->geometry().bottom(), inside.bottom()) << size.width();
        EXPECT_TRUE(bar->geometry().intersects(box->geometry())) << size.width();
        EXPECT_TRUE(box->isVisible());
    }
}

// A blank document view has nowhere to go back or forward to.
TEST_F(MainWindowTest, BackAndForwardAreOffOnABlankDocumentView) {
    shell::frmMain& w = open();
    w.menuAction("mnuViewSpecies")->trigger();
    ASSERT_TRUE(documentStepsChecked(w));
    EXPECT_FALSE(w.toolbarEntry(14)->isEnabled()) << "Back";
    EXPECT_FALSE(w.toolbarEntry(15)->isEnabled()) << "Forward";
}

// Tab reaches the character toolbar, also once the contradictions have rebuilt it, and the
// main toolbar.
TEST_F(MainWindowTest, TabReachesBothToolbarsAfterTheContradictions) {
    shell::frmMain& w = open();
    auto* deter = w.findChild<QToolBar*>("Barre_Deter");
    auto* main = w.findChild<QToolBar*>("tbToolBar");
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    w.dispatcher().Traiter_Fichier("Contra");
    ASSERT_EQ(w.ViewMode, questions::ViewMode::Identification);
    const QList<QWidget*> cycle = tabCycle(deter->widgetForAction(deter->actions().first()));
    EXPECT_TRUE(reachesBar(cycle, deter));
    EXPECT_TRUE(reachesBar(cycle, main));
}

// Errors works on the species whose document is shown, not on the list's selection.
TEST_F(MainWindowTest, ErrorsMarksTheSpeciesWhoseDocumentIsShown) {
    base.contradictions = {{"AILE", -1}};
    base.write();
    base.writePictures();
    QDir().mkpath(base.dataDir() + "CONTRA");
    platform::WmfWriter overlay(QSize(2400, 1800));
    overlay.selectObject(overlay.createSolidBrush(QColor(0, 0, 0xff)));
    overlay.rectangle(QRect(0, 0, 300, 300));
    ASSERT_TRUE(overlay.save(base.dataDir() + "CONTRA/ailese.wmf"));
    shell::frmMain& w = open();
    engine->state().StateChoice[1] = 1;  // A2: shown by Beta only
    w.showRefresh(engine->Actualise_Identification());
    w.menuAction("mnuViewResults")->trigger();
    auto* list = qobject_cast<QListView*>(w.pane("Liste_Esp"));
    ASSERT_EQ(list->model()->index(0, 0).data().toString(), " 100% - Beta beta");
    list->setCurrentIndex(list->model()->index(0, 0));
    w.menuAction("mnuViewSpecies")->trigger();
    auto* tree = qobject_cast<QTreeView*>(w.pane("Tree_esp"));
    const QModelIndex alpha = findNode(tree->model(), QModelIndex(), "SP1");
    ASSERT_TRUE(alpha.isValid());
    emit tree->clicked(alpha);
    w.dispatcher().Traiter_Fichier("Contra");
    EXPECT_EQ(engine->state().ExtraLayerCount, 1) << "Alpha does not show A2";
}

// A double-click on Search: the first click opens the question, the second lands on the
// question toolbar where Confirm now stands. It belongs to the double-click, not to Confirm.
TEST_F(MainWindowTest, TheSecondClickOfADoubleClickOnSearchConfirmsNothing) {
    shell::frmMain& w = open();
    auto* deter = w.findChild<QToolBar*>("Barre_Deter");
    auto* questionBar = w.findChild<QToolBar*>("Barre_Question");
    QWidget* search = deter->widgetForAction(deter->actions().first());
    QTest::mouseClick(search, Qt::LeftButton);
    ASSERT_EQ(w.ViewMode, questions::ViewMode::Question);
    QWidget* confirm = questionBar->widgetForAction(questionBar->actions().first());
    ASSERT_TRUE(confirm->isVisible());
    const QPointF at = QRectF(confirm->rect()).center();
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, confirm->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(confirm, &twice);
    QMouseEvent release(QEvent::MouseButtonRelease, at, confirm->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(confirm, &release);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Question) << "the question is still open";
    EXPECT_FALSE(w.menuAction("mnuFileSaveAs")->isEnabled());
    // A real click on Confirm still confirms.
    QTest::mouseClick(confirm, Qt::LeftButton);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
}

// Qt's own buttons follow a change of language in the options at once.
TEST_F(MainWindowTest, QtsOwnTextsFollowTheLanguageChosenInTheOptions) {
    shell::frmMain& w = open();
    shell::QtTranslations qt;
    w.useQtTranslations(&qt);
    QTimer::singleShot(0, [] {
        QWidget* options = QApplication::activeModalWidget();
        ASSERT_TRUE(options);
        // As a person does: the language page, then French.
        options->findChild<QTabWidget*>("tabOptions")->setCurrentIndex(1);
        auto* french = options->findChild<QRadioButton*>("optFrench");
        ASSERT_TRUE(french);
        french->click();
        qobject_cast<QDialog*>(options)->reject();
    });
    w.menuAction("mnuViewOptions")->trigger();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
    qt.load(0);
}

// Documents start in the interface language when the base has them in it.
TEST_F(MainWindowTest, DocumentsStartInTheInterfaceLanguage) {
    for (const char* code : {"sp1", "sp2", "sp3"})
        for (const char* suffix : {"_en", "_fr"}) {
            QDir().mkpath(base.dataDir() + "s/" + code);
            base.writeFile(QStringLiteral("s/%1/%1%2.html").arg(code, suffix),
                           QStringLiteral("<html><body>%1</body></html>").arg(suffix).toUtf8());
        }
    shell::frmMain& w = open(2);
    auto* view = w.findChild<documents::DocumentView*>("WebTexte");
    QSignalSpy complete(view, &documents::DocumentView::DocumentComplete);
    w.menuAction("mnuViewResults")->trigger();
    ASSERT_TRUE(view->LocationURL().endsWith(".html") || complete.wait(15000));
    EXPECT_TRUE(view->LocationURL().endsWith("_fr.html")) << view->LocationURL().toStdString();
}

// A long answer does not cut the questions short: they have the width first, the answers
// what is left.
TEST(QuestionsPanelColumns, TheQuestionsHaveTheWidthBeforeTheAnswers) {
    const QString question = "Number and arrangement of the spots on each wing case";
    engine::QuestionEntry answered;
    answered.key = "SPOTS";
    answered.text = question;
    answered.chosenTexts = {"Seven spots in two rows with a shared one on the scutellum"};
    answered.answered = true;
    engine::QuestionEntry open;
    open.key = "COLOUR";
    open.text = "Colour";
    questions::QuestionsPanel panel;
    panel.setSections({engine::QuestionSection{{}, {answered, open}}});
    QTreeWidget* list = panel.list();
    QFont bold = list->font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(question);
    panel.resize(needed * 3 / 2, 300);
    panel.show();
    QCoreApplication::processEvents();
    EXPECT_GE(list->columnWidth(0), needed);
    EXPECT_GT(list->columnWidth(1), 0) << "the answer keeps a place";
    // Narrower than the question: the answers keep a fifth of the list.
    panel.resize(needed / 2, 300);
    QCoreApplication::processEvents();
    EXPECT_GE(list->columnWidth(1), list->viewport()->width() / 5 - 1);
}
