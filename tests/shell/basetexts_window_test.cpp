#include "commands/printcommand.h"
#include "mainwindowfixture.h"
#include "questions/questionspanel.h"
#include "support/pdffiles.h"

#include <QLabel>
#include <QPrinter>
#include <QToolBar>
#include <QTreeWidget>

using testing_support::PdfFile;
using testing_support::printToPdf;

namespace {

// The test base grouped, with French texts for some of what it shows and a French picture
// of choices for its first question.
class BaseTextsWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        base.stateTips = {"Clear", "Dark", "Black", "Pale", "Red"};
        base.parameters["Titre"] = "Two flies";
        MainWindowTest::SetUp();
        base.exec(R"(CREATE TABLE "Groupes" ("Objet" TEXT PRIMARY KEY, "Groupe" TEXT,
                     "Ordre" INTEGER);
                     INSERT INTO "Groupes" VALUES ('AILE', 'Wings', 1), ('PATTE', 'Legs', 2);
                     CREATE TABLE "Textes" ("Numero" INTEGER PRIMARY KEY, "Langue" TEXT,
                     "Sorte" TEXT, "Cle" TEXT, "Texte" TEXT);
                     INSERT INTO "Textes" VALUES
                       (1, 'fr', 'Question', 'AILE', 'Ailes'),
                       (2, 'fr', 'Etat', 'P2', 'Pâles'),
                       (3, 'fr', 'Groupe', 'Wings', 'Ailes et nervures'),
                       (4, 'fr', 'Caption', '2', 'Ailes'),
                       (5, 'fr', 'TipText', '2', 'Couleur des ailes'),
                       (6, 'fr', 'Caption', 'Q1', 'Valider'),
                       (7, 'fr', 'Titre', NULL, 'Deux mouches'))");
    }
    QStringList panelRows() {
        QStringList rows;
        QTreeWidget* list = window->questionsPanel()->list();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* group = list->topLevelItem(i);
            rows << group->text(0);
            for (int k = 0; k < group->childCount(); ++k) rows << "  " + group->child(k)->text(0);
        }
        return rows;
    }
    QString caption(const char* bar, int entry) {
        return window->findChild<QToolBar*>(bar)->actions().at(entry - 1)->text();
    }
    QString report(const QString& name) {
        const QString pdf = settingsDir.filePath(name);
        dialogs.printAnswers.push_back([pdf](QPrinter& printer) {
            printToPdf(printer, pdf, 1, 150);
            return true;
        });
        window->menuAction("mnuFilePrintReport")->trigger();
        return PdfFile::text(pdf).simplified();
    }
};

TEST_F(BaseTextsWindowTest, InFrenchTheBaseSpeaksFrenchWhereItCanAndSwitchesBack) {
    shell::frmMain& w = open(2);
    EXPECT_EQ(panelRows(), (QStringList{"Ailes et nervures", "  Ailes", "Legs", "  Legs"}));
    EXPECT_EQ(caption("Barre_Deter", 3), "Ailes");
    EXPECT_EQ(caption("Barre_Deter", 1), "Search") << "no French for it: the base's own";
    EXPECT_EQ(caption("Barre_Question", 1), "Valider");
    engine->state().StateChoice[3] = 1;  // Legs: pale
    engine->state().FrameState[1] = -1;
    w.showRefresh(engine->Actualise_Identification());
    w.refreshQuestionsPanel();
    const QString french = report("fr.pdf");
    EXPECT_TRUE(french.contains("Deux mouches")) << french.toStdString();
    EXPECT_TRUE(french.contains("Pâles")) << french.toStdString();

    // The options switch the interface to English: the base's texts follow at once.
    strings.setLanguageCode(0);
    w.applyBaseLanguage();
    EXPECT_EQ(panelRows(), (QStringList{"Wings", "  Wings", "Legs", "  Legs"}));
    EXPECT_EQ(caption("Barre_Deter", 3), "Wings");
    EXPECT_EQ(caption("Barre_Question", 1), "OK");
    const QString english = report("en.pdf");
    EXPECT_TRUE(english.contains("Two flies")) << english.toStdString();
    EXPECT_TRUE(english.contains("Pale")) << english.toStdString();
    EXPECT_FALSE(english.contains("Pâles"));
}

TEST_F(BaseTextsWindowTest, WithoutTheTableAFrenchInterfaceShowsTheBaseAsBefore) {
    base.exec(R"(DROP TABLE "Textes")");
    open(2);
    EXPECT_EQ(panelRows(), (QStringList{"Wings", "  Wings", "Legs", "  Legs"}));
    EXPECT_EQ(caption("Barre_Deter", 3), "Wings");
    EXPECT_EQ(caption("Barre_Question", 1), "OK");
}

}  // namespace
