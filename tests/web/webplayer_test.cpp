// The exported player in a real browser engine: answers given by clicking the drawing, the
// pictures of choices, the toolbars and the questions panel must rank exactly as the desktop
// ranks the same answers (vireka-kb rank on the same base).
#include "playerdriver.h"
#include "support/importdatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QRect>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWebEngineProfile>

using namespace testing_support;

TEST(WebPlayer, DrawingAndPicturesOfChoicesRankAsTheDesktop) {
    QTemporaryDir dir;
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
    ASSERT_TRUE(painted(page)) << page.console().toStdString();

    // Paper asks nothing: the colour stage finds no question and nothing opens.
    page.click(onDrawing(page, 200, 1500));
    EXPECT_EQ(openQuestion(page), "");

    // The eyes ask by their palette colour.
    ASSERT_TRUE(ask(page, onDrawing(page, 1120, 260), "EYES")) << openQuestion(page).toStdString();
    EXPECT_EQ(markedCell(page), -1);
    pickCell(page, 0);
    EXPECT_EQ(markedCell(page), 0);
    pickCell(page, 0);  // the marked cell unmarks
    EXPECT_EQ(markedCell(page), -1);
    pickCell(page, 0);
    pickCell(page, 2);  // another cell takes the mark
    EXPECT_EQ(markedCell(page), 2);
    confirm(page);

    // The tip of the abdomen is the frame of the sex: first the frame's own question, then,
    // once the frame is open and the insect is a male, the zone inside it.
    const QPoint tip = onDrawing(page, 1200, 1700);
    ASSERT_TRUE(ask(page, tip, "SEX"));
    pickCell(page, 0);
    confirm(page);
    ASSERT_TRUE(ask(page, tip, "APPENDAGES"));
    pickCell(page, 1);
    confirm(page);

    EXPECT_EQ(chosenStates(page), (QList<int>{firstState(page, "EYES") + 2, firstState(page, "SEX"),
                                              firstState(page, "APPENDAGES") + 1}));
    const QStringList desktop = desktopRank(page, VIREKA_DEMO_BASE, dir.path());
    ASSERT_GE(desktop.size(), 2);
    EXPECT_EQ(pageRank(page), desktop);
    EXPECT_NE(desktop.last(), " 49 species at 0 %");
}

TEST(WebPlayer, OnAPhoneSearchProposesTheDesktopsQuestion) {
    QTemporaryDir dir;
    WebPage page({360, 740});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
    ASSERT_TRUE(painted(page));
    // Nothing is wider than the phone.
    EXPECT_LE(page.js("document.documentElement.scrollWidth").toInt(), 360);
    EXPECT_EQ(page.js("document.body.dataset.tab").toString(), "key");

    const ToolRun best =
        runTool(VIREKA_KB_PATH, {"best", "--data", VIREKA_DEMO_BASE, "--base", "vireka.db"});
    ASSERT_EQ(best.exitCode, 0);
    const QString proposed = lines(best.out).value(0);
    page.click(page.centreOf("#deterBar button:first-child"));  // "Search"
    ASSERT_TRUE(
        page.waitFor(QStringLiteral("document.body.dataset.question === '%1'").arg(proposed), 5000))
        << openQuestion(page).toStdString() << " instead of " << proposed.toStdString();
    // A proposed question offers its skip button.
    EXPECT_TRUE(
        page.js("!document.querySelector('#questionBar button:last-child').hidden").toBool());
    pickCell(page, 1);
    confirm(page);
    page.click(page.centreOf("#tabs button[data-tab=results]"));
    EXPECT_EQ(pageRank(page), desktopRank(page, VIREKA_DEMO_BASE, dir.path()));
    EXPECT_EQ(chosenStates(page), QList<int>{firstState(page, proposed) + 1});
}

TEST(WebPlayer, TheDescriptionSurvivesAReloadAndTravelsInTheLink) {
    WebPage page({1024, 768});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    ASSERT_TRUE(painted(page));
    ASSERT_TRUE(ask(page, onDrawing(page, 1120, 260), "EYES"));
    pickCell(page, 1);
    confirm(page);
    const QStringList answered = pageRank(page);
    const QString link = page.js("location.href").toString();
    ASSERT_TRUE(link.contains('#'));

    // The same browser, the address without its fragment: the storage gives it back.
    WebPage again({1024, 768}, page.profile());
    ASSERT_TRUE(again.open(siteUrl(VIREKA_DEMO_WEB)));
    EXPECT_EQ(pageRank(again), answered);
    // Another browser, the shared link.
    WebPage other({1024, 768});
    ASSERT_TRUE(other.open(link));
    EXPECT_EQ(pageRank(other), answered);
    EXPECT_NE(answered.last(), " 49 species at 0 %");
}

TEST(WebPlayer, AKeyWithoutADrawingIsAnsweredThroughItsQuestions) {
    QTemporaryDir dir;
    testing_support::writeDeltaGrasses(dir.path() + "/grasses");
    const QString base = dir.path() + "/base";
    ASSERT_EQ(runTool(VIREKA_KB_PATH, {"import", "delta", dir.path() + "/grasses", base}).exitCode,
              0);
    const QString site = dir.path() + "/site";
    const ToolRun exported = runTool(VIREKA_KB_PATH, {"export", "web", base, site});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();

    WebPage page({1024, 768});
    ASSERT_TRUE(page.open(siteUrl(site))) << page.console().toStdString();
    // The questions take the drawing's place.
    EXPECT_TRUE(page.js("document.getElementById('drawing').hidden").toBool());
    EXPECT_TRUE(page.js("document.getElementById('stagePanel').contains("
                        "document.querySelector('#questionList .question'))")
                    .toBool());
    const QString question =
        page.js("document.querySelector('#questionList .question').dataset.key").toString();
    page.click(page.centreOf("#questionList .question .ask"));
    ASSERT_TRUE(page.waitFor(
        QStringLiteral("document.body.dataset.question === '%1'").arg(question), 5000));
    pickCell(page, 1);
    confirm(page);
    EXPECT_EQ(chosenStates(page), QList<int>{firstState(page, question) + 1});
    page.click(page.centreOf("#tabs button[data-tab=results]"));
    const QStringList answered = pageRank(page);
    EXPECT_EQ(answered, desktopRank(page, base, dir.path()));

    // Taking the answer back from the panel.
    page.click(page.centreOf("#questionList .question.answered .withdraw"));
    EXPECT_TRUE(page.waitFor("!document.querySelector('#questionList .question.answered')"));
    EXPECT_EQ(chosenStates(page), QList<int>{});
    EXPECT_EQ(pageRank(page), desktopRank(page, base, dir.path()));
    EXPECT_NE(pageRank(page), answered);
}

TEST(WebPlayer, DocumentsOpenFromTheListAndTheTreeInTheChosenLanguage) {
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    const auto frame = [&] {
        return page.js("document.getElementById('doc').getAttribute('src')").toString();
    };
    // The first line of the list: its species' document, in English.
    page.click(page.centreOf("#list button[data-line=\"0\"]"));
    ASSERT_TRUE(page.waitFor("document.body.dataset.tab === 'document'"));
    EXPECT_EQ(frame(), "docs/a/aescy/aescy_en.html");
    // At 0 % for every species nothing is contradicted: no contradictions command.
    EXPECT_TRUE(page.js("document.getElementById('contra').hidden").toBool());

    // In French, a species under a common name opens its French page.
    page.js(
        "(() => { const s = document.getElementById('language'); s.value = '2';"
        " s.dispatchEvent(new Event('change')); })()");
    EXPECT_EQ(
        page.js("document.querySelector('#tabs button[data-tab=species]').textContent").toString(),
        page.js("VIREKA_STRINGS['1300'][2]").toString());
    EXPECT_EQ(page.js("document.getElementById('legend').textContent").toString(),
              page.js("' 49 ' + VIREKA_STRINGS['1500'][2] + ' 0 %'").toString());
    page.click(page.centreOf("#tabs button[data-tab=species]"));
    // Roots, then the common names' languages, then a name, then its species.
    // A branch fills when it opens: each level is waited for before it is clicked.
    QString branch = "#tree > details:nth-of-type(3)";
    for (int level = 0; level < 3; ++level) {
        ASSERT_TRUE(
            page.waitFor(QStringLiteral("document.querySelector('%1 > summary')").arg(branch)));
        page.click(page.centreOf(branch + " > summary"));
        branch += " > details";
    }
    ASSERT_TRUE(
        page.waitFor("document.querySelector('#tree > details:nth-of-type(3) > details > details > "
                     "button.species')"));
    const QPoint species =
        page.centreOf("#tree > details:nth-of-type(3) > details > details > button.species");
    ASSERT_GE(species.x(), 0);
    const QString code = page.js("document.querySelector('#tree > details:nth-of-type(3) > details"
                                 " > details > button.species').dataset.code")
                             .toString()
                             .toLower();
    page.click(species);
    ASSERT_TRUE(page.waitFor("document.body.dataset.tab === 'document'"));
    EXPECT_EQ(frame(), QStringLiteral("docs/%1/%2/%2_fr.html").arg(code.left(1), code));
    EXPECT_EQ(code.size(), 5);
}

TEST(WebPlayer, IdentificationFilesGoInAndOutThroughTheBrowser) {
    QTemporaryDir dir;
    WebPage page({1280, 800});
    page.acceptDownloads(dir.path() + "/downloads");
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    // A file of the desktop program: states SEX first + 1 (female) and its frame 0 answered.
    const int states = page.js("VirekaPlayer.key.stateCount").toInt();
    const int frames = page.js("VirekaPlayer.key.frameCount").toInt();
    QByteArray qnt(2 * (states + frames), '\0');
    qnt[2 * (firstState(page, "SEX") + 1)] = 1;
    qnt[2 * states] = char(0xff);
    qnt[2 * states + 1] = char(0xff);
    const QString file = dir.path() + "/female.qnt";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(qnt);
    }
    page.setChosenFiles({file});
    page.click(page.centreOf("#openLabel"));
    ASSERT_TRUE(page.waitFor(QStringLiteral("VirekaPlayer.id().stateChoice[%1] === 1")
                                 .arg(firstState(page, "SEX") + 1)));
    const ToolRun desktop = runTool(
        VIREKA_KB_PATH, {"rank", "--data", VIREKA_DEMO_BASE, "--base", "vireka.db", "--qnt", file});
    EXPECT_EQ(pageRank(page), lines(desktop.out));

    // Saved again, the same bytes.
    page.click(page.centreOf("#save"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.lastDownload().isEmpty(); }, 5000));
    QFile saved(page.lastDownload());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), qnt);

    // A file of another base changes nothing and says so.
    const QString foreign = dir.path() + "/foreign.qnt";
    {
        QFile f(foreign);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(6, '\0'));
    }
    page.setChosenFiles({foreign});
    page.click(page.centreOf("#openLabel"));
    ASSERT_TRUE(page.waitFor("!document.getElementById('dialog').hidden"));
    EXPECT_TRUE(page.js("document.getElementById('dialogText').textContent")
                    .toString()
                    .contains("foreign.qnt"));
    EXPECT_EQ(pageRank(page), lines(desktop.out));
}
