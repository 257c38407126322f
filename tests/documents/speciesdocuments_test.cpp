#include "lineslist.h"
#include "recordingnavigator.h"

#include "documents/speciesdocuments.h"
#include "documents/speciespanes.h"
#include "engine/identificationstate.h"
#include "kb/loader.h"
#include "kb/model.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <memory>

using documents::DocumentNavigator;
using documents::SpeciesDocuments;

namespace {

// A knowledge base of three species with their documents on disk, a real list and tree
// filled from it, and the controller on a recording navigator.
class SpeciesDocumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        base.flora = {{"AbCdE", "Rosa canina", "ROSACEAE"},
                      {"FGHIJ", "Fagus sylvatica", "FAGACEAE"},
                      {"KLMNO", "Quercus robur", "FAGACEAE"}};
        base.commonNames = {{"English", "Dog rose", "ABCDE"}};
        base.write();
        values.DocSource = QStringLiteral("hd");
        values.DataDir = base.dataDir();
        // Knowledge bases write their folders with "\".
        values.DocAddress = base.dataDir() + QStringLiteral("documents\\");
        for (const char* code : {"abcde", "fghij", "klmno"})
            for (const char* suffix : {"_en", "_fr"})
                writeDocument(QString::fromLatin1(code), QString::fromLatin1(suffix));
        base.writeFile(QStringLiteral("error_en.html"), "<p>missing</p>");
        base.writeFile(QStringLiteral("error_fr.html"), "<p>absent</p>");
    }

    void load() {
        base.options();
        const auto result = kb::loadKnowledgeBase(model, base.options());
        ASSERT_TRUE(result.ok()) << result.detail.toStdString();
        ranking.RankPercent = {87, 50, 0};
        list.setLines({QStringLiteral(" 87% - Rosa canina"),
                       QStringLiteral(" 50% - Fagus sylvatica"),
                       QStringLiteral(" 0% - Quercus robur")});
        documents::showSpeciesTree(&tree, model.Tree);
        SpeciesDocuments::Hooks hooks;
        hooks.Enable_Button = [this](const QString& key) { log << "Enable_Button " + key; };
        hooks.setContraHidden = [this](bool hidden) {
            log << (hidden ? QStringLiteral("Contra hidden") : QStringLiteral("Contra shown"));
        };
        hooks.setForwardSteps = [this](int steps) {
            log << QStringLiteral("Forward %1").arg(steps);
        };
        hooks.prepareDocument = [this] { log << QStringLiteral("prepare"); };
        hooks.pendingEvents = [this] { log << QStringLiteral("pending"); };
        docs = std::make_unique<SpeciesDocuments>(model, ranking, values, view, hooks);
    }

    void writeDocument(const QString& code, const QString& suffix) {
        const QString folder = base.dataDir() + "documents/" + code.left(1) + "/" + code;
        QDir().mkpath(folder);
        QFile f(folder + "/" + code + suffix + ".html");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body>" + code.toUtf8() + "</body></html>");
    }
    QString documentUrl(const QString& code, const QString& suffix) const {
        return QUrl::fromLocalFile(base.dataDir() + "documents/" + code.left(1) + "/" + code + "/" +
                                   code + suffix + ".html")
            .toString();
    }
    QString navigation(const QString& url, int flags) const {
        return QStringLiteral("Navigate2 %1 %2").arg(url).arg(flags);
    }
    // The item of a key, looked for through the whole tree; invalid when there is none.
    // Found as a user would find it, opening each branch on the way.
    QModelIndex node(const QString& key, const QModelIndex& under = {}) const {
        QAbstractItemModel* m = tree.model();
        if (m->canFetchMore(under)) m->fetchMore(under);
        for (int r = 0; r < m->rowCount(under); ++r) {
            const QModelIndex i = m->index(r, 0, under);
            if (i.data(Qt::UserRole).toString() == key) return i;
            if (const QModelIndex found = node(key, i); found.isValid()) return found;
        }
        return {};
    }
    void setLines(const QStringList& lines) { list.setLines(lines); }

    testing_support::TestKb base;
    kb::Model model;
    engine::IdentificationState ranking;
    platform::Settings::Values values;
    QStringList log;
    RecordingNavigator view{log};
    LinesList list;
    QTreeView tree;
    std::unique_ptr<SpeciesDocuments> docs;
};

TEST(DocumentAddressRules, LocalPathWithEitherSeparatorWebAddressAndErrorPage) {
    EXPECT_EQ(SpeciesDocuments::localDocumentPath("C:\\Docs\\", "AbCdE", "_en", '\\'),
              "C:\\Docs\\a\\abcde\\abcde_en.html");
    EXPECT_EQ(SpeciesDocuments::localDocumentPath("C:\\Docs\\", "AbCdE", "_fr", '/'),
              "C:\\Docs\\a/abcde/abcde_fr.html");
    EXPECT_EQ(SpeciesDocuments::webDocumentAddress("http://flora.example/docs/", "AbCdE", "_en"),
              "http://flora.example/docs/a/abcde/abcde_en.html");
    EXPECT_EQ(SpeciesDocuments::errorPagePath("C:\\Data\\", "_es"), "C:\\Data\\error_es.html");
}

TEST(DocumentAddressRules, SuffixComesFromTheDocumentOnScreen) {
    EXPECT_EQ(SpeciesDocuments::suffixFromLocation("file:///d/a/abcde/abcde_fr.html", "_en"),
              "_fr");
    EXPECT_EQ(SpeciesDocuments::suffixFromLocation("http://x/dessin_01_es.html", "_en"), "_es");
    EXPECT_EQ(SpeciesDocuments::suffixFromLocation("file:///d/a/abcde/abcde_fr.htm", "_fr"), "_en");
    // A blank view shows no document: the language the documents started in stays.
    EXPECT_EQ(SpeciesDocuments::suffixFromLocation("", "_fr"), "_fr");
    EXPECT_EQ(SpeciesDocuments::suffixFromLocation("about:blank", "_es"), "_es");
    // Too short to hold a suffix before ".html": the suffix stays.
    EXPECT_EQ(SpeciesDocuments::suffixFromLocation("a.html", "_fr"), "_fr");
    // The drawing sheet names no language: the language of the documents stays.
    EXPECT_EQ(SpeciesDocuments::suffixFromLocation("file:///d/a/abcde/abcde_ds.html", "_fr"),
              "_fr");
    EXPECT_EQ(SpeciesDocuments::suffixFromLocation("http://x/a/abcde/ABCDE_DS.html", "_es"), "_es");
}

TEST_F(SpeciesDocumentsTest, ListClickOpensTheLocalDocumentOfTheSelectedLine) {
    load();
    list.setCurrentRow(1);
    log.clear();
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(log, QStringList({"prepare", "Enable_Button Stop", "Contra shown", "pending",
                                "Forward 0", "Stop", navigation(documentUrl("fghij", "_en"), 14)}));
    EXPECT_EQ(docs->DocCode, "FGHIJ");
    EXPECT_EQ(docs->DocSpecies, "Fagus sylvatica");
    EXPECT_EQ(docs->DocFamily, "Fagaceae");
    EXPECT_EQ(docs->DocSuffix, "_en");
    EXPECT_EQ(docs->lastAddress(), values.DocAddress + "f\\fghij\\fghij_en.html");
    // The flora cursor stays on the species, for its legend.
    EXPECT_EQ(model.FloraTable.field("Espece").toString(), "Fagus sylvatica");
}

TEST_F(SpeciesDocumentsTest, FloraRowIsFoundThroughAnIndexOnTheName) {
    base.exec("CREATE INDEX Flore_Espece ON Flore (Espece)");
    load();
    list.setCurrentRow(2);
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(docs->DocCode, "KLMNO");
    EXPECT_EQ(model.FloraTable.field("Code").toString(), "KLMNO");
    EXPECT_EQ(view.location, documentUrl("klmno", "_en"));
}

TEST_F(SpeciesDocumentsTest, NextSpeciesOpensInTheLanguageOfTheDocumentOnScreen) {
    load();
    view.location = documentUrl("abcde", "_fr");
    list.setCurrentRow(1);
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(docs->DocSuffix, "_fr");
    EXPECT_EQ(view.location, documentUrl("fghij", "_fr"));

    view.location = QStringLiteral("file:///d/a/abcde/abcde_fr.htm");
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(view.location, documentUrl("fghij", "_en"));
}

TEST_F(SpeciesDocumentsTest, NextSpeciesAfterADrawingSheetOpensItsDocumentNotItsSheet) {
    load();
    view.location = documentUrl("abcde", "_fr");
    list.setCurrentRow(0);
    docs->Liste_Esp_Click(&list);
    // The user opens the drawing sheet from the document, then picks another species.
    view.location = QStringLiteral("file:///d/a/abcde/abcde_ds.html");
    list.setCurrentRow(1);
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(docs->DocSuffix, "_fr");
    EXPECT_EQ(view.location, documentUrl("fghij", "_fr"));
}

TEST_F(SpeciesDocumentsTest, NoSelectedLineOpensLineZeroAndSelectsItWhenTheListIsShown) {
    load();
    list.show();
    ASSERT_TRUE(list.selectedRows().isEmpty());
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(docs->DocCode, "AbCdE");
    EXPECT_EQ(view.location, documentUrl("abcde", "_en"));
    ASSERT_EQ(list.selectedRows().size(), 1);
    EXPECT_EQ(list.selectedRows().first(), 0);
}

TEST_F(SpeciesDocumentsTest, HiddenListOpensLineZeroWithoutSelectingIt) {
    load();
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(docs->DocCode, "AbCdE");
    EXPECT_TRUE(list.selectedRows().isEmpty());
}

TEST_F(SpeciesDocumentsTest, ContraIsOfferedOnlyBelowHundredWhileTheBestIsPositive) {
    load();
    auto contraAfterClick = [&](int row) {
        log.clear();
        list.setCurrentRow(row);
        docs->Liste_Esp_Click(&list);
        return log.filter("Contra").join(",");
    };
    setLines({" 100% - Rosa canina", " 87% - Fagus sylvatica", " 0% - Quercus robur"});
    ranking.RankPercent = {100, 87, 0};
    EXPECT_EQ(contraAfterClick(0), "Contra hidden");
    EXPECT_EQ(contraAfterClick(1), "Contra shown");
    EXPECT_EQ(contraAfterClick(2), "Contra shown");

    // The start-up lines have no leading space.
    setLines({"100% - Rosa canina", "100% - Fagus sylvatica", "100% - Quercus robur"});
    EXPECT_EQ(contraAfterClick(1), "Contra hidden");

    // Nothing chosen: every percentage is 0.
    setLines({" 0% - Rosa canina", " 0% - Fagus sylvatica", " 0% - Quercus robur"});
    ranking.RankPercent = {0, 0, 0};
    EXPECT_EQ(contraAfterClick(1), "Contra hidden");
}

TEST_F(SpeciesDocumentsTest, MissingLocalDocumentShowsTheErrorPageOfItsLanguage) {
    load();
    QFile::remove(base.dataDir() + "documents/f/fghij/fghij_en.html");
    QFile::remove(base.dataDir() + "documents/f/fghij/fghij_fr.html");
    list.setCurrentRow(1);
    log.clear();
    docs->Liste_Esp_Click(&list);
    const QString errorEn = "file://" + base.dataDir() + "error_en.html";
    EXPECT_EQ(log.last(), navigation(errorEn, 14));
    EXPECT_FALSE(log.contains("Stop"));
    EXPECT_EQ(docs->lastAddress(), base.dataDir() + "error_en.html");
    EXPECT_EQ(docs->DocCode, "FGHIJ");

    view.location = documentUrl("abcde", "_fr");
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(view.location, "file://" + base.dataDir() + "error_fr.html");
}

TEST_F(SpeciesDocumentsTest, CodeLeadingOutOfTheDocumentsFolderOpensTheErrorPage) {
    // A base whose code climbs out of the documents folder to a page planted beside it.
    base.exec(QStringLiteral("UPDATE Flore SET Code = '../ab' WHERE Code = 'KLMNO'"));
    QDir().mkpath(base.dataDir() + "ab");
    base.writeFile(QStringLiteral("ab_en.html"), "<p>outside</p>");
    load();
    const QString errorEn = "file://" + base.dataDir() + "error_en.html";
    list.setCurrentRow(2);
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(docs->DocCode, "../ab");
    EXPECT_EQ(view.location, errorEn);
    docs->Tree_esp_NodeClick(node("AbCdE"));
    docs->Tree_esp_NodeClick(node("../ab"));
    EXPECT_EQ(view.location, errorEn);
}

TEST_F(SpeciesDocumentsTest, ListAndTreeGiveTheSamePathWithTheirOwnSeparators) {
    load();
    docs->Liste_Esp_Click(&list);
    const QString fromList = docs->lastAddress();
    const QString listUrl = view.location;
    docs->Tree_esp_NodeClick(node("AbCdE"));
    const QString fromTree = docs->lastAddress();
    EXPECT_EQ(fromList, values.DocAddress + "a\\abcde\\abcde_en.html");
    EXPECT_EQ(fromTree, values.DocAddress + "a/abcde/abcde_en.html");
    EXPECT_EQ(view.location, listUrl);
}

TEST_F(SpeciesDocumentsTest, SpeciesUnderItsFamilyTakesTheFamilyNodeAndTheWholeKey) {
    load();
    log.clear();
    docs->Tree_esp_NodeClick(node("KLMNO"));
    EXPECT_EQ(log, QStringList({"Enable_Button Stop", "prepare", "Forward 0", "Stop",
                                navigation(documentUrl("klmno", "_en"), 14)}));
    EXPECT_EQ(docs->DocCode, "KLMNO");
    EXPECT_EQ(docs->DocSpecies, "Quercus robur");
    EXPECT_EQ(docs->DocFamily, "Fagaceae");
    EXPECT_EQ(model.FloraTable.field("Code").toString(), "KLMNO");
}

TEST_F(SpeciesDocumentsTest, SpeciesUnderEspecesDropsTheFinalSAndTakesTheFamilyFromTheTag) {
    load();
    docs->Tree_esp_NodeClick(node("AbCdES"));
    EXPECT_EQ(docs->DocCode, "AbCdE");
    EXPECT_EQ(docs->DocFamily, "Rosaceae");
    EXPECT_EQ(docs->DocSpecies, "Rosa canina");
    EXPECT_EQ(docs->lastAddress(), values.DocAddress + "a/abcde/abcde_en.html");
}

TEST_F(SpeciesDocumentsTest, CommonNameSpeciesTakesCodeAndFamilyFromTheTag) {
    load();
    const QModelIndex species = node("ABCDEDog rose");
    ASSERT_TRUE(species.isValid());
    ASSERT_EQ(species.data(Qt::UserRole + 1).toString(), "CspABCDEROSACEAE");
    view.location = documentUrl("klmno", "_fr");
    docs->Tree_esp_NodeClick(species);
    EXPECT_EQ(docs->DocCode, "Abcde");
    EXPECT_EQ(docs->DocFamily, "Rosaceae");
    EXPECT_EQ(docs->DocSpecies, "Rosa canina");
    EXPECT_EQ(docs->lastAddress(), values.DocAddress + "a/abcde/abcde_fr.html");
    EXPECT_EQ(view.location, documentUrl("abcde", "_fr"));
}

TEST_F(SpeciesDocumentsTest, FamilyCommonNameLanguageAndRootNodesDoNothing) {
    load();
    docs->Tree_esp_NodeClick(node("KLMNO"));
    log.clear();
    for (const QString key : {"ROSACEAE", "Dog rose", "SEnglish", "Familles", "Communs"}) {
        const QModelIndex n = node(key);
        ASSERT_TRUE(n.isValid()) << key.toStdString();
        docs->Tree_esp_NodeClick(n);
    }
    EXPECT_TRUE(log.isEmpty()) << log.join("; ").toStdString();
    EXPECT_EQ(docs->DocCode, "KLMNO");
    EXPECT_EQ(docs->DocFamily, "Fagaceae");
}

TEST_F(SpeciesDocumentsTest, WebDocumentsAreOpenedWithoutCheckingThem) {
    values.DocSource = QStringLiteral("http");
    values.DocAddress = QStringLiteral("http://flora.example/docs/");
    load();
    list.setCurrentRow(1);
    log.clear();
    docs->Liste_Esp_Click(&list);
    EXPECT_EQ(log.mid(log.size() - 2),
              QStringList({"Stop", navigation("http://flora.example/docs/f/fghij/fghij_en.html",
                                              DocumentNavigator::NavNoHistory)}));
    docs->Tree_esp_NodeClick(node("ZZZZZ"));  // no such node: nothing
    docs->Tree_esp_NodeClick(node("KLMNOS"));
    EXPECT_EQ(view.location, "http://flora.example/docs/k/klmno/klmno_en.html");
}

TEST_F(SpeciesDocumentsTest, EmptyListOpensNothing) {
    load();
    setLines({});
    log.clear();
    docs->Liste_Esp_Click(&list);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(view.navigations, 0);
}

TEST_F(SpeciesDocumentsTest, AttachedListOpensOnClickAndOnKeyboardMoves) {
    load();
    docs->attachList(&list);
    list.resize(300, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const QRect line1 = list.lineRect(1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, line1.center());
    EXPECT_EQ(docs->DocCode, "FGHIJ");
    const int before = view.navigations;
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(docs->DocCode, "KLMNO");
    EXPECT_EQ(view.navigations, before + 1);
    QTest::keyClick(&list, Qt::Key_Down);  // already on the last line
    EXPECT_EQ(view.navigations, before + 1);
}

// A window with two lists, the second attached to the documents; the first can take the
// focus away from it.
void showTwoLists(QWidget& window, LinesList*& other, LinesList*& hovered,
                  documents::SpeciesDocuments& docs) {
    other = new LinesList(&window);
    hovered = new LinesList(&window);
    hovered->move(0, 100);
    hovered->setLines({QStringLiteral("100% - Rosa canina")});
    docs.attachList(hovered);
    window.resize(300, 300);
    window.show();
}

TEST_F(SpeciesDocumentsTest, FirstHoverGivesTheListTheFocusOnlyOnce) {
    load();
    QWidget window;
    LinesList* other = nullptr;
    LinesList* hovered = nullptr;
    showTwoLists(window, other, hovered, *docs);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::mouseMove(hovered->viewport(), QPoint(10, 10));
    EXPECT_TRUE(docs->ListFocusTaken);
    EXPECT_TRUE(hovered->hasFocus());
    other->setFocus();
    QTest::mouseMove(hovered->viewport(), QPoint(20, 20));
    EXPECT_TRUE(other->hasFocus());
}

TEST_F(SpeciesDocumentsTest, FocusReceivedBeforeAnyHoverKeepsTheFocusWhereItIs) {
    load();
    QWidget window;
    LinesList* other = nullptr;
    LinesList* hovered = nullptr;
    showTwoLists(window, other, hovered, *docs);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    hovered->setFocus();
    EXPECT_TRUE(docs->ListFocusTaken);
    other->setFocus();
    QTest::mouseMove(hovered->viewport(), QPoint(10, 10));
    EXPECT_TRUE(other->hasFocus());
}

}  // namespace
