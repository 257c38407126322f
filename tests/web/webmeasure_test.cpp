// A value typed for a measured question, given the same way to the three that answer it: the
// program's real window, the exported player in a browser engine, and the command lines
// (vireka-kb rank --measure and the site's cli.mjs). All must show the same list.
#include "playerdriver.h"
#include "programwindow.h"
#include "questions/questionspanel.h"
#include "support/importdatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace testing_support;

namespace {

QStringList cliRank(const QString& site, const QStringList& measures) {
    QString node = QStandardPaths::findExecutable("node");
    if (node.isEmpty()) node = "/usr/bin/node";
    QStringList args{site + "/engine/cli.mjs", "rank"};
    for (const QString& m : measures) args << "--measure" << m;
    const ToolRun r = runTool(node, args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return lines(r.out);
}

QStringList kbRank(const QString& base, const QStringList& measures) {
    QStringList args{"rank", "--data", base, "--base", "vireka.db"};
    for (const QString& m : measures) args << "--measure" << m;
    const ToolRun r = runTool(VIREKA_KB_PATH, args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return lines(r.out);
}

// Clicks the row of a question in the questions panel.
void askInPage(WebPage& page, const QString& question) {
    page.click(page.centreOf(
        QStringLiteral("#questionList .question[data-key=\"%1\"] .ask").arg(question)));
}

void typeInPage(WebPage& page, const QString& question, const QString& value) {
    askInPage(page, question);
    ASSERT_TRUE(page.waitFor(
        QStringLiteral("document.body.dataset.question === '%1'").arg(question), 5000));
    ASSERT_TRUE(page.waitFor("!document.getElementById('measure').hidden"));
    page.click(page.centreOf("#measure input"));
    for (const QChar c : value)
        page.type(c == ','   ? Qt::Key_Comma
                  : c == '.' ? Qt::Key_Period
                             : Qt::Key(Qt::Key_0 + c.digitValue()));
    page.type(Qt::Key_Return);
    ASSERT_TRUE(page.waitFor("document.body.dataset.view === 'key'", 5000));
}

// Fruit diameter of the mountain plants: KEY STATES ~2/2-5/5~, so 5 is the bound of two
// states. Saxifraga oppositifolia (2-5 cm) and Silene acaulis (5 cm) reach it.
TEST(WebMeasure, ATypedValueRanksTheSameInTheProgramThePlayerAndTheCommandLines) {
    QTemporaryDir dir;
    writeDeltaMountain(dir.filePath("delta"));
    const QString base = dir.filePath("base"), site = dir.filePath("site");
    ASSERT_EQ(runTool(VIREKA_KB_PATH, {"import", "delta", dir.filePath("delta"), base}).exitCode,
              0);
    const ToolRun exported = runTool(VIREKA_KB_PATH, {"export", "web", base, site});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();

    const QStringList desktop = kbRank(base, {"C6=5"});
    ASSERT_GE(desktop.size(), 3);
    for (const char* name : {"Saxifraga oppositifolia", "Silene acaulis"})
        EXPECT_TRUE(desktop.contains(QStringLiteral(" 100% - ") + name))
            << name << "\n"
            << desktop.join('\n').toStdString();
    EXPECT_EQ(cliRank(site, {"C6=5"}), desktop);
    EXPECT_EQ(cliRank(site, {"C6=5", "C5=2,5"}), kbRank(base, {"C6=5", "C5=2,5"}));

    {  // the window goes before the page takes the screen
        ProgramWindow program(base);
        program.typeValue("C6", "5");
        EXPECT_EQ(program.shown(), desktop);
        const QTreeWidgetItem* row = program.window->questionsPanel()->itemOf("C6");
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->text(1), "5 cm");
        EXPECT_TRUE(program.dialogs.asked.empty());
    }
    WebPage page({1024, 768});
    ASSERT_TRUE(page.open(siteUrl(site))) << page.console().toStdString();
    typeInPage(page, "C6", "5");
    // The questions take the drawing's place again, the value as the answer.
    EXPECT_EQ(page.js("document.querySelector('#questionList .question[data-key=C6] .answer')"
                      ".textContent")
                  .toString(),
              "5 cm");
    page.click(page.centreOf("#tabs button[data-tab=results]"));
    EXPECT_EQ(pageRank(page), desktop);
}

// Three ladybirds whose length is measured from 2 mm: a smaller value is no state's.
const char* kLadybirds = R"(title "Three ladybirds"
documents en
language en "English"
question ELYTRA "Colour of the wing cases"
  state EL_RED    "Red"
  state EL_YELLOW "Yellow"
question LENGTH "Body length"
  measure "mm"
  state L_S "2 to less than 5 mm" range [2,5)
  state L_L "5 mm or more"        range [5,)
species ADBIP "Adalia bipunctata"
  family COCCINELLIDAE
  shows EL_RED L_L
species PSYVI "Psyllobora vigintiduopunctata"
  family COCCINELLIDAE
  shows EL_YELLOW L_S L_L
button deter "Search"  key Search  icon search
button deter "Results" key Results icon results
button question "Confirm" icon ok
button question "Cancel"  icon cancel
button question "Skip"    icon skip
)";

// A value no state holds is refused by all with the same words, and nothing changes.
TEST(WebMeasure, AValueOutsideEveryRangeIsRefusedWithAMessage) {
    QTemporaryDir dir;
    writeFile(dir.filePath("src/kb.txt"), kLadybirds);
    const QString base = dir.filePath("base"), site = dir.filePath("site");
    const ToolRun built =
        runTool(VIREKA_KB_PATH, {"build", "--no-page-pictures", dir.filePath("src"), base});
    ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
    ASSERT_EQ(runTool(VIREKA_KB_PATH, {"export", "web", base, site}).exitCode, 0);
    const QStringList before = kbRank(base, {});

    QString node = QStandardPaths::findExecutable("node");
    if (node.isEmpty()) node = "/usr/bin/node";
    for (const char* m : {"LENGTH=1,5", "LENGTH=-2", "LENGTH=1,2,3", "LENGTH=abc",
                          "LENGTH=", "ELYTRA=1", "NOSUCH=2", "LENGTH"}) {
        const ToolRun kb = runTool(VIREKA_KB_PATH,
                                   {"rank", "--data", base, "--base", "vireka.db", "--measure", m});
        const ToolRun cli = runTool(node, {site + "/engine/cli.mjs", "rank", "--measure", m});
        EXPECT_EQ(kb.exitCode, 2) << m;
        EXPECT_EQ(cli.exitCode, 2) << m;
        EXPECT_FALSE(kb.err.section(": ", 1, -1).isEmpty()) << m;
        EXPECT_EQ(kb.err.section(": ", 1, -1), cli.err.section(": ", 1, -1)) << m;
        EXPECT_TRUE(kb.out.isEmpty() && cli.out.isEmpty()) << m;
    }

    {
        ProgramWindow program(base);
        program.typeValue("LENGTH", "1,5");
        ASSERT_EQ(program.dialogs.asked.size(), 1u);
        EXPECT_EQ(program.dialogs.asked[0].text, "No state of this question holds 1,5.");
        EXPECT_EQ(program.shown(), before);
        // The question stays open for another value.
        auto* field = program.window->findChild<QLineEdit*>("Mesure_Valeur");
        ASSERT_TRUE(field && field->isVisible());
        field->clear();
        QTest::keyClicks(field, "1,2,3");
        QTest::keyClick(field, Qt::Key_Return);
        ASSERT_EQ(program.dialogs.asked.size(), 2u);
        EXPECT_EQ(program.dialogs.asked[1].text, "\"1,2,3\" is not a number.");
    }

    WebPage page({360, 740});
    ASSERT_TRUE(page.open(siteUrl(site))) << page.console().toStdString();
    EXPECT_LE(page.js("document.documentElement.scrollWidth").toInt(), 360);
    askInPage(page, "LENGTH");
    ASSERT_TRUE(page.waitFor("!document.getElementById('measure').hidden", 5000))
        << page.js("document.body.dataset.question || ''").toString().toStdString();
    EXPECT_LE(page.js("document.documentElement.scrollWidth").toInt(), 360);
    page.click(page.centreOf("#measure input"));
    for (Qt::Key k : {Qt::Key_1, Qt::Key_Comma, Qt::Key_5, Qt::Key_Return}) page.type(k);
    ASSERT_TRUE(page.waitFor("!document.getElementById('dialog').hidden", 5000));
    EXPECT_EQ(page.js("document.getElementById('dialogText').textContent").toString(),
              "No state of this question holds 1,5.");
    EXPECT_EQ(page.js("document.body.dataset.question").toString(), "LENGTH");
}

}  // namespace
