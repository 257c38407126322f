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
