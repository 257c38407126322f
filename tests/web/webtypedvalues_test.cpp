// A value typed for a measured question survives an identification file: saved by the
// program or the web player, it is shown again by either; a file that did not keep it says so.
#include "playerdriver.h"
#include "programwindow.h"
#include "questions/questionspanel.h"
#include "support/filebytes.h"
#include "support/importdatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace testing_support;

namespace {

QString answerOf(const ProgramWindow& program, const QString& question) {
    const QTreeWidgetItem* row = program.window->questionsPanel()->itemOf(question);
    return row ? row->text(1) : QStringLiteral("<no row>");
}

QString pageAnswer(WebPage& page, const QString& question) {
    return page
        .js(QStringLiteral("document.querySelector('#questionList .question[data-key=%1] .answer')"
                           ".textContent")
                .arg(question))
        .toString();
}

void openInPage(WebPage& page, const QString& file) {
    page.setChosenFiles({file});
    page.click(page.centreOf("#openLabel"));
}

// The mountain plants imported from DELTA: fruit diameter C6 is measured in centimetres.
class TypedValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeDeltaMountain(dir.filePath("delta"));
        const ToolRun imported =
            runTool(VIREKA_KB_PATH, {"import", "delta", dir.filePath("delta"), base});
        ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    }

    QTemporaryDir dir;
    const QString base = dir.filePath("base"), site = dir.filePath("site");
    const QString saved = dir.filePath("typed.qnt");
};

}  // namespace

TEST_F(TypedValuesTest, TheProgramShowsAKeptValueAgainAndSaysWhenOneWasNotKept) {
    ProgramWindow program(base);
    program.typeValue("C6", "3,5");
    ASSERT_EQ(answerOf(program, "C6"), "3.5 cm");
    program.dialogs.fileNames = {saved};
    ASSERT_TRUE(program.window->dispatcher().Exec_Save());

    program.window->dispatcher().New();
    EXPECT_EQ(answerOf(program, "C6"), "");
    program.window->dispatcher().Open(saved);
    EXPECT_EQ(answerOf(program, "C6"), "3.5 cm");
    EXPECT_TRUE(program.dialogs.asked.empty()) << "a file with its values is of this base's length";

    // The same description as an older program saved it: the chosen state, no value.
    const QByteArray withValues = bytesOf(saved);
    const qsizetype body = 2 * qsizetype(program.engine->state().StateChoice.size() +
                                         program.engine->state().FrameState.size());
    ASSERT_GT(withValues.size(), body);
    const QString old = dir.filePath("old.qnt");
    putBytes(old, withValues.left(body));
    program.window->dispatcher().Open(old);
    const QString noted = answerOf(program, "C6");
    EXPECT_TRUE(noted.endsWith(" (typed value not kept)")) << noted.toStdString();
    EXPECT_FALSE(noted.startsWith("3.5")) << noted.toStdString();
    EXPECT_TRUE(program.dialogs.asked.empty());
    // Answered again, the note goes.
    program.typeValue("C6", "3,5");
    EXPECT_EQ(answerOf(program, "C6"), "3.5 cm");

    // Saved over by a program that keeps no values, the earlier values stay behind the new
    // description; they are another description's and are not shown.
    program.window->dispatcher().New();
    putBytes(old, withValues);
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(QByteArray(body, '\0'));  // nothing chosen
    }
    program.window->dispatcher().Open(old);
    EXPECT_EQ(answerOf(program, "C6"), "");
    program.typeValue("C6", "3,5");
    EXPECT_EQ(answerOf(program, "C6"), "3.5 cm");
}

TEST_F(TypedValuesTest, TheProgramAndThePlayerReadEachOthersValues) {
    const ToolRun exported = runTool(VIREKA_KB_PATH, {"export", "web", base, site});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    qsizetype body = 0;
    {  // the window goes before the page takes the screen
        ProgramWindow program(base);
        program.typeValue("C6", "3,5");
        program.dialogs.fileNames = {saved};
        ASSERT_TRUE(program.window->dispatcher().Exec_Save());
        body = 2 * qsizetype(program.engine->state().StateChoice.size() +
                             program.engine->state().FrameState.size());
    }
    const QByteArray programBytes = bytesOf(saved);
    ASSERT_GT(programBytes.size(), body);

    WebPage page({1024, 768});
    page.acceptDownloads(dir.filePath("downloads"));
    ASSERT_TRUE(page.open(siteUrl(site))) << page.console().toStdString();
    openInPage(page, saved);
    ASSERT_TRUE(page.waitFor(
        "document.querySelector('#questionList .question[data-key=C6] .answer').textContent "
        "!== ''"));
    EXPECT_EQ(pageAnswer(page, "C6"), "3.5 cm");
    EXPECT_TRUE(page.js("document.getElementById('dialog').hidden").toBool())
        << "no warning of another length";

    // Saved by the player: the same bytes as the program's, so each reads the other's.
    page.click(page.centreOf("#save"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.lastDownload().isEmpty(); }, 5000));
    EXPECT_EQ(bytesOf(page.lastDownload()), programBytes);

    // A file without the values: the state's text and the note.
    const QString old = dir.filePath("old.qnt");
    putBytes(old, programBytes.left(body));
    page.js("VirekaPlayer.id().clear(), true");
    openInPage(page, old);
    ASSERT_TRUE(
        page.waitFor("document.querySelector('#questionList .question[data-key=C6] "
                     ".answer').textContent.endsWith(' (typed value not kept)')"))
        << pageAnswer(page, "C6").toStdString();
    EXPECT_FALSE(pageAnswer(page, "C6").startsWith("3.5"));

    // The player's own typed value, saved and opened by the program.
    page.js("VirekaPlayer.id().clear(), true");
    page.js("VirekaPlayer.id().answerMeasure('C6', '2,25'), true");
    const QString before = page.lastDownload();
    page.click(page.centreOf("#save"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.lastDownload() != before; }, 5000));
    const QString fromPage = page.lastDownload();
    ProgramWindow program(base);
    program.window->dispatcher().Open(fromPage);
    EXPECT_EQ(answerOf(program, "C6"), "2.25 cm");
}
