#include "mainwindowfixture.h"
#include "shell/speciescomparer.h"

#include "documents/documentview.h"

#include <QFile>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QUrl>

namespace {

QString pageText(const QString& url) {
    QFile f(QUrl(url).toLocalFile());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// "Compare with..." from the species list: the species on the chosen line is compared with
// those picked, and the table is the page the document view shows.
TEST_F(MainWindowTest, CompareWithShowsTheTableOfTheChosenSpeciesInTheDocumentView) {
    // Wing state 1: Alpha and Gamma at 100 %, Beta at 0 %.
    base.flora[1].name = "Beta <i>beta</i>";
    base.write();
    shell::frmMain& w = open();
    engine->state().StateChoice[0] = 1;
    w.showRefresh(engine->Actualise_Identification());
    w.menuAction("mnuViewResults")->trigger();
    auto* list = qobject_cast<QListView*>(w.pane("Liste_Esp"));
    auto* view = qobject_cast<documents::DocumentView*>(w.pane("WebTexte"));
    ASSERT_TRUE(list && view);
    shell::SpeciesComparer& comparer = *w.comparer();

    // Nothing chosen yet: the user is told to choose a species first.
    list->setCurrentIndex(QModelIndex());
    comparer.compareChosen();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "Choose a species in the list or the tree first.");

    // Line 1 is Gamma (rank 1); it is compared with Beta.
    list->setCurrentIndex(list->model()->index(1, 0));
    int asked = -1;
    comparer.choose = [&](int species) {
        asked = species;
        return std::optional<shell::SpeciesComparer::Choice>({{1}, true});
    };
    w.menuAction("mnuViewCompare")->trigger();
    EXPECT_EQ(asked, 2);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view->LocationURL().endsWith("comparison-1.html"); }, 20000));
    const QString page = pageText(view->LocationURL());
    EXPECT_TRUE(
        page.contains("<th>Gamma gamma<br><small>SP3</small></th><th>Beta "
                      "&lt;i&gt;beta&lt;/i&gt;<br><small>SP2</small></th>"))
        << page.toStdString();
    EXPECT_TRUE(page.contains("Questions where they differ (2)"));
    EXPECT_TRUE(page.contains("Questions where they agree (0)"));

    // Cancelling the choice writes no page and shows nothing new: the next comparison is
    // the second page, not the third.
    comparer.choose = [](int) { return std::optional<shell::SpeciesComparer::Choice>(); };
    comparer.compareChosen();
    EXPECT_FALSE(QFile::exists(comparer.folder() + "/comparison-2.html"));
    comparer.choose = [](int) {
        return std::optional<shell::SpeciesComparer::Choice>({{1}, true});
    };
    comparer.compareChosen();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return view->LocationURL().endsWith("comparison-2.html"); }, 20000))
        << view->LocationURL().toStdString();
}

TEST_F(MainWindowTest, TreeItemsOfSpeciesAreComparedAndOthersAreNot) {
    // Species codes are five characters long, as the tree's keys and tags expect.
    for (auto& species : base.flora) species.code += "XX";
    for (auto& name : base.commonNames) name.code += "XX";
    base.write();
    shell::frmMain& w = open();
    const shell::SpeciesComparer& c = *w.comparer();
    EXPECT_EQ(c.speciesOfTreeItem("SP3XX", "Esp"), 2);          // under its family
    EXPECT_EQ(c.speciesOfTreeItem("SP2XXS", "EspBETIDAE"), 1);  // under "Species"
    EXPECT_EQ(c.speciesOfTreeItem("SP1XXAlpha fly", "CspSP1XXALPHIDAE"), 0);
    EXPECT_EQ(c.speciesOfTreeItem("ALPHIDAE", "Fam"), -1);
    EXPECT_EQ(c.speciesOfTreeItem("Familles", ""), -1);
}

}  // namespace
