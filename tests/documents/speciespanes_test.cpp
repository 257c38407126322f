#include "lineslist.h"

#include "documents/specieslistmodel.h"
#include "documents/speciespanes.h"
#include "documents/speciestreemodel.h"
#include "kb/speciestree.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeView>

using documents::SpeciesTreeModel;

namespace {

// A list of many lines that counts the lines it is asked to make.
struct CountingList {
    int asked = 0;
    int generation = 0;
    documents::SpeciesListModel model{[this](int line) {
        ++asked;
        return QStringLiteral(" %1% - Species %2").arg(generation).arg(line);
    }};
    QListView view;

    CountingList() {
        documents::showSpeciesList(&view, &model);
        view.resize(300, 200);
    }
    void paint() {
        view.viewport()->repaint();
        QApplication::processEvents();
    }
    // Shows `lines` lines and paints them once.
    [[nodiscard]] bool shown(int lines) {
        model.reset(lines);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view)) return false;
        paint();
        return true;
    }
    // The lines the viewport can show, and the one cut at each end.
    int visibleLines() const { return view.viewport()->height() / view.sizeHintForRow(0) + 2; }
};

// The same lines in a list painted as the window paints it and in one painted by the
// standard delegate, side by side.
struct BothPainters {
    LinesList ours;
    LinesList standard;

    [[nodiscard]] bool shown(const QStringList& lines, QSize size, int current = -1) {
        standard.setItemDelegate(new QStyledItemDelegate(&standard));
        for (LinesList* list : {&ours, &standard}) {
            list->resize(size);
            list->setLines(lines);
            if (current >= 0) list->setCurrentRow(current);
            list->show();
            if (!QTest::qWaitForWindowExposed(list)) return false;
        }
        return true;
    }
};

qint64 iconKey(const QModelIndex& index) {
    return index.data(Qt::DecorationRole).value<QIcon>().cacheKey();
}

kb::SpeciesTree smallTree() {
    kb::SpeciesTree t;
    t.addRoot("Familles", "Families", "livre_ferme", "");
    t.addRoot("Communs", "Common names", "livre_ferme", "");
    t.add("Familles", "ROSACEAE", "Rosaceae", "livre_ferme", "Fam");
    t.add("Familles", "FAGACEAE", "Fagaceae", "livre_ferme", "Fam");
    t.add("ROSACEAE", "ABCDE", "Rosa canina", "page", "Esp");
    t.add("FAGACEAE", "KLMNO", "Quercus robur", "page", "Esp");
    t.add("FAGACEAE", "FGHIJ", "Fagus sylvatica", "page", "Esp");
    return t;
}

}  // namespace

// Ten thousand species: a refresh and a paint make the lines on screen, not the others.
TEST(SpeciesListModel, OnlyThePaintedLinesAreMade) {
    CountingList list;
    ASSERT_TRUE(list.shown(10000));
    const int visible = list.visibleLines();
    EXPECT_GT(list.asked, 0);
    EXPECT_LE(list.asked, 4 * visible) << "lines made for rows that are not painted";

    list.asked = 0;
    list.generation = 87;
    list.model.reset(10000);
    list.paint();
    EXPECT_LE(list.asked, 4 * visible);
    EXPECT_EQ(list.model.index(0, 0).data().toString(), QString(" 87% - Species 0"));

    list.view.scrollToBottom();
    list.paint();
    const QModelIndex last = list.view.indexAt(QPoint(2, list.view.viewport()->height() - 3));
    EXPECT_EQ(last.row(), 9999) << "scrolled to the end, the last line is painted";
}

TEST(SpeciesListModel, AResetChangesTheCountAndDropsTheSelection) {
    LinesList list;
    list.setLines({" 87% - A", " 50% - B", " 0% - C"});
    list.setCurrentRow(2);
    ASSERT_EQ(list.selectedRows(), QList<int>({2}));
    list.setLines({" 100% - B"});
    EXPECT_EQ(list.model()->rowCount(), 1);
    EXPECT_TRUE(list.selectedRows().isEmpty());
    EXPECT_FALSE(list.model()->index(1, 0).isValid());
    EXPECT_FALSE(list.model()->data(list.model()->index(0, 0), Qt::DecorationRole).isValid());
    list.setLines({});
    EXPECT_EQ(list.model()->rowCount(), 0);
}

// A refresh that keeps the count replaces the lines in place: the view repaints them on its
// own, making only the lines on screen, and what was selected or current is dropped as a
// reset drops it, since the row now names another species.
TEST(SpeciesListModel, LinesReplacedInPlaceAreRepaintedAndDropTheSelection) {
    CountingList list;
    ASSERT_TRUE(list.shown(10000));
    list.view.setCurrentIndex(list.model.index(3, 0));
    ASSERT_TRUE(list.view.selectionModel()->isSelected(list.model.index(3, 0)));
    QSignalSpy resets(&list.model, &QAbstractItemModel::modelReset);
    QSignalSpy replaced(&list.model, &documents::SpeciesListModel::linesReplaced);

    list.asked = 0;
    list.generation = 42;
    list.model.reset(10000);
    QApplication::processEvents();
    EXPECT_GT(list.asked, 0) << "the new lines are painted without being asked";
    EXPECT_LE(list.asked, 4 * list.visibleLines());
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_FALSE(list.view.selectionModel()->hasSelection());
    EXPECT_FALSE(list.view.currentIndex().isValid());
    EXPECT_EQ(list.model.index(3, 0).data().toString(), QString(" 42% - Species 3"));

    list.model.reset(9000);
    EXPECT_EQ(resets.count(), 1) << "a new count is a reset";
    EXPECT_EQ(replaced.count(), 2);
    EXPECT_EQ(list.model.rowCount(), 9000);
}

// The lines are painted from text laid out once, and look as the standard delegate paints
// them: plain, selected, too long for the pane, and not of the usual form.
TEST(SpeciesListModel, LinesLookAsTheStandardDelegatePaintsThem) {
    const QStringList lines = {
        " 100% - Quercus robur", " 87% - Fagus sylvatica", " 5% - " + QString(60, QLatin1Char('W')),
        "No percentage here",    "-3% - Rosa canina",      " 87% - Fagus sylvatica"};
    BothPainters both;
    ASSERT_TRUE(both.shown(lines, QSize(240, 160), 1));
    LinesList& ours = both.ours;
    const QImage expected = both.standard.viewport()->grab().toImage();
    const QImage painted = ours.viewport()->grab().toImage();
    ASSERT_EQ(painted.size(), expected.size());
    for (int row = 0; row < int(lines.size()); ++row) {
        const QRect r = ours.lineRect(row);
        EXPECT_EQ(painted.copy(r), expected.copy(r)) << "line " << row << " painted otherwise";
    }
    // Painted twice, from what was laid out the first time, the lines do not change.
    EXPECT_EQ(ours.viewport()->grab().toImage(), painted);
}

// More lines than the painter keeps laid out: each one, shaped while what was kept grows or
// is dropped, still looks as the standard delegate paints it.
TEST(SpeciesListModel, MoreLinesThanThePainterKeepsStillLookRight) {
    QStringList lines;
    for (int i = 0; i < 4500; ++i) lines << QStringLiteral(" %1% - Species %2").arg(i % 101).arg(i);
    BothPainters both;
    ASSERT_TRUE(both.shown(lines, QSize(240, 600)));
    LinesList& ours = both.ours;
    LinesList& standard = both.standard;
    const int page = ours.viewport()->height() / ours.lineRect(0).height();
    ASSERT_GT(page, 10);
    int pages = 0;
    for (int top = 0; top < int(lines.size()); top += page, ++pages) {
        ours.verticalScrollBar()->setValue(top);
        standard.verticalScrollBar()->setValue(top);
        ASSERT_EQ(ours.viewport()->grab().toImage(), standard.viewport()->grab().toImage())
            << "lines from " << top << " painted otherwise";
    }
    EXPECT_GT(pages * page, 4096);
}

// Every item's parent is the item it hangs under, rows are the tree's order, and keys and
// tags come through.
TEST(SpeciesTreeModel, ItemsFollowTheTree) {
    const kb::SpeciesTree tree = smallTree();
    SpeciesTreeModel model(tree);
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex families = model.index(0, 0);
    EXPECT_EQ(families.data().toString(), "Families");
    ASSERT_EQ(model.rowCount(families), 2);
    const QModelIndex fagaceae = model.index(0, 0, families);
    EXPECT_EQ(fagaceae.data().toString(), "Fagaceae") << "children in alphabetical order";
    EXPECT_EQ(fagaceae.data(SpeciesTreeModel::TagRole).toString(), "Fam");
    ASSERT_EQ(model.rowCount(fagaceae), 2);
    const QModelIndex fagus = model.index(0, 0, fagaceae);
    EXPECT_EQ(fagus.data().toString(), "Fagus sylvatica");
    EXPECT_EQ(fagus.data(SpeciesTreeModel::KeyRole).toString(), "FGHIJ");
    EXPECT_EQ(model.parent(fagus), fagaceae);
    EXPECT_EQ(model.parent(fagaceae), families);
    EXPECT_FALSE(model.parent(families).isValid());
    EXPECT_EQ(model.index(1, 0, fagaceae).data().toString(), "Quercus robur");
    EXPECT_FALSE(model.index(2, 0, fagaceae).isValid());
    EXPECT_FALSE(model.index(0, 1, fagaceae).isValid());
    EXPECT_FALSE(model.hasChildren(fagus));
    EXPECT_EQ(model.rowCount(model.index(1, 0)), 0) << "a root without children";
    for (int n = 0; n < tree.size(); ++n) EXPECT_EQ(model.node(model.indexOf(n)), n);
}

TEST(SpeciesTreeModel, ExpandingShowsTheOpenBookAndCollapsingTheClosedOne) {
    const kb::SpeciesTree tree = smallTree();
    QTreeView view;
    documents::showSpeciesTree(&view, tree);
    view.show();
    const QAbstractItemModel* model = view.model();
    const QModelIndex families = model->index(0, 0);
    const QModelIndex rosaceae = model->index(1, 0, families);
    const qint64 closed = documents::treeIcon("livre_ferme").cacheKey();
    const qint64 open = documents::treeIcon("livre_ouvert").cacheKey();
    const qint64 page = documents::treeIcon("page").cacheKey();
    EXPECT_EQ(iconKey(families), closed);
    view.expand(families);
    view.expand(rosaceae);
    EXPECT_EQ(iconKey(families), open);
    EXPECT_EQ(iconKey(rosaceae), open);
    const QModelIndex rosa = model->index(0, 0, rosaceae);
    EXPECT_EQ(iconKey(rosa), page);
    view.collapse(rosaceae);
    EXPECT_EQ(iconKey(rosaceae), closed);
    EXPECT_EQ(iconKey(families), open);

    // A second tree replaces the first, books closed again.
    documents::showSpeciesTree(&view, tree);
    EXPECT_EQ(iconKey(view.model()->index(0, 0)), closed);
}

// A deferred branch shows closed with children and reads nothing until the view opens it.
// Its names may join a family already open: that family keeps its open state and selection,
// and shows the new species in its place.
TEST(SpeciesTreeModel, ADeferredBranchIsReadWhenFirstOpenedAndKeepsWhatIsOpen) {
    kb::SpeciesTree tree = smallTree();
    int reads = 0;
    tree.defer(tree.find("Communs"), [&tree, &reads] {
        ++reads;
        tree.add("Communs", "SEnglish", "English", "livre_ferme", "SEnglish");
        tree.add("SEnglish", "Dog rose", "Dog rose", "livre_ferme", "Com");
        tree.add("Dog rose", "ABCDEDog rose", "Rosa canina", "page", "CspABCDEROSACEAE");
        // A name that is the key of a family joins that family.
        tree.add("FAGACEAE", "AAAAAFagaceae", "Alnus glutinosa", "page", "CspAAAAAFAGACEAE");
    });
    QTreeView view;
    documents::showSpeciesTree(&view, tree);
    view.resize(300, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QAbstractItemModel* model = view.model();
    const QModelIndex families = model->index(0, 0);
    const QModelIndex fagaceae = model->index(0, 0, families);
    const QModelIndex quercus = model->index(1, 0, fagaceae);
    ASSERT_EQ(quercus.data().toString(), "Quercus robur");
    view.expand(families);
    view.expand(fagaceae);
    view.setCurrentIndex(quercus);
    QApplication::processEvents();
    EXPECT_EQ(reads, 0) << "laying out and painting read no deferred branch";

    const QPersistentModelIndex common = model->index(1, 0);
    EXPECT_TRUE(model->hasChildren(common));
    EXPECT_EQ(model->rowCount(common), 0);
    view.expand(common);
    QApplication::processEvents();
    EXPECT_EQ(reads, 1);
    ASSERT_EQ(model->rowCount(common), 1);
    const QModelIndex english = model->index(0, 0, common);
    EXPECT_EQ(english.data().toString(), "English");
    view.expand(english);
    QApplication::processEvents();
    EXPECT_EQ(model->index(0, 0, model->index(0, 0, english)).data().toString(), "Rosa canina");

    const QModelIndex fagaceaeNow = model->index(0, 0, model->index(0, 0));
    ASSERT_EQ(model->rowCount(fagaceaeNow), 3);
    EXPECT_EQ(model->index(0, 0, fagaceaeNow).data().toString(), "Alnus glutinosa");
    EXPECT_TRUE(view.isExpanded(fagaceaeNow));
    EXPECT_EQ(view.currentIndex().data().toString(), "Quercus robur");
    EXPECT_EQ(view.currentIndex().row(), 2) << "the current item follows its row";
    EXPECT_TRUE(view.visualRect(model->index(0, 0, fagaceaeNow)).isValid())
        << "the new species is laid out in the open family";
    EXPECT_FALSE(model->canFetchMore(common));
    view.collapse(common);
    view.expand(common);
    EXPECT_EQ(reads, 1) << "a branch is read once";
}
