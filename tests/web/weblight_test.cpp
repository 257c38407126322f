// The player on a big key does the least work per answer: panes that do not show are brought
// up to date when they show. What they show then must be what they would have shown.
#include "playerdriver.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

QString answerShown(WebPage& page, const QString& question) {
    return page
        .js(QStringLiteral("(() => { const a = document.querySelector('#questionList"
                           " .question[data-key=\"%1\"] .answer'); return a && !a.hidden ?"
                           " a.textContent : ''; })()")
                .arg(question))
        .toString();
}

}  // namespace

TEST(WebPlayerLight, AHiddenQuestionsPanelShowsEveryAnswerWhenOpened) {
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
    ASSERT_TRUE(painted(page));
    // The panel is seen once, then answers are given with the results showing.
    page.click(page.centreOf("#tabs button[data-tab=questions]"));
    EXPECT_EQ(answerShown(page, "EYES"), "");
    page.click(page.centreOf("#tabs button[data-tab=results]"));
    ASSERT_TRUE(ask(page, onDrawing(page, 1120, 260), "EYES"));
    pickCell(page, 1);
    confirm(page);
    const QString eyes = page.js("VirekaPlayer.key.stateTexts[VirekaPlayer.key.objects["
                                 "VirekaPlayer.key.objectIndex('EYES')].first + 1]")
                             .toString();
    ASSERT_FALSE(eyes.isEmpty());
    page.click(page.centreOf("#tabs button[data-tab=questions]"));
    EXPECT_EQ(answerShown(page, "EYES"), eyes);

    // Taken back from the panel, then answered again elsewhere: the panel follows both.
    page.click(page.centreOf("#questionList .question[data-key=\"EYES\"] .withdraw"));
    EXPECT_EQ(answerShown(page, "EYES"), "");
    page.click(page.centreOf("#tabs button[data-tab=results]"));
    page.js("VirekaPlayer.answer(VirekaPlayer.key.objectIndex('EYES'), 1)");
    page.click(page.centreOf("#tabs button[data-tab=questions]"));
    EXPECT_EQ(answerShown(page, "EYES"), eyes);
}

// The filter hides rows and whole groups in place; cleared, every row and group shows again,
// the same rows, answers included.
TEST(WebPlayerLight, TheQuestionsFilterHidesRowsInPlaceAndShowsThemAllAgain) {
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
    ASSERT_TRUE(painted(page));
    page.js("VirekaPlayer.answer(VirekaPlayer.key.objectIndex('EYES'), 1)");
    page.click(page.centreOf("#tabs button[data-tab=questions]"));
    const QString eyes = answerShown(page, "EYES");
    ASSERT_FALSE(eyes.isEmpty());
    const auto counts = [&page] {
        return page
            .js("(() => { const rows = [...document.querySelectorAll('#questionList .question')];"
                " const groups = [...document.querySelectorAll('#questionList section.group')];"
                " const seen = (e) => !e.hidden && !e.closest('section').hidden;"
                " return [rows.length, rows.filter(seen).length, groups.length,"
                " groups.filter((g) => !g.hidden).length,"
                " groups.filter((g) => !g.hidden && ![...g.querySelectorAll('.question')]"
                ".some((q) => !q.hidden)).length]; })()")
            .toList();
    };
    const QVariantList before = counts();
    ASSERT_EQ(before.size(), 5);
    ASSERT_GT(before[2].toInt(), 1);
    EXPECT_EQ(before[1], before[0]);
    EXPECT_EQ(before[3], before[2]);
    page.js("document.querySelector('#questionList .question[data-key=\"EYES\"]').kept = 1");

    const auto filter = [&page](const QString& text) {
        page.js(QStringLiteral("(() => { const f = document.getElementById('filter');"
                               " f.value = %1; f.dispatchEvent(new Event('input')); })()")
                    .arg(text));
    };
    filter(
        "document.querySelector('#questionList .question[data-key=\"EYES\"] .text')"
        ".textContent");
    const QVariantList narrowed = counts();
    EXPECT_GE(narrowed[1].toInt(), 1);
    EXPECT_LT(narrowed[1].toInt(), before[0].toInt());
    EXPECT_LT(narrowed[3].toInt(), before[2].toInt());
    EXPECT_EQ(narrowed[4].toInt(), 0) << "a group shows with none of its rows";
    EXPECT_EQ(answerShown(page, "EYES"), eyes);

    filter("''");
    EXPECT_EQ(counts(), before);
    EXPECT_EQ(answerShown(page, "EYES"), eyes);
    EXPECT_TRUE(
        page.js("document.querySelector('#questionList .question[data-key=\"EYES\"]').kept === 1")
            .toBool());
}
