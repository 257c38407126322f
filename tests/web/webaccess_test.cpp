// The exported player with a keyboard and a screen reader: axe-core finds nothing serious on
// its screens at desktop and phone sizes, the focus goes into an opened question and back,
// the message box keeps the focus, the cells say whether they are marked, the drawing has a
// name and leads to the questions, and the count and best percentage are announced.
#include "fieldchecks.h"
#include "playerdriver.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

QString focused(WebPage& page) {
    return page
        .js("(() => { const e = document.activeElement; return !e ? '' : e.id ||"
            " (e.dataset.cell !== undefined ? 'cell ' + e.dataset.cell : e.className ||"
            " e.tagName); })()")
        .toString();
}

}  // namespace

TEST(WebPlayerAccess, AxeFindsNothingSeriousOnAnyScreen) {
    for (const QSize size : {QSize(1280, 800), QSize(360, 740)}) {
        const bool phone = size.width() < 700;
        SCOPED_TRACE(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
        WebPage page(size);
        ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
        ASSERT_TRUE(painted(page));
        EXPECT_EQ(seriousAxeViolations(page).join('\n').toStdString(), "") << "start";
        // A question answered, so the panel holds an answer and dimmed questions.
        page.click(page.centreOf("#deterBar button:first-child"));
        ASSERT_TRUE(page.waitFor("document.body.dataset.view === 'question'"));
        EXPECT_EQ(seriousAxeViolations(page).join('\n').toStdString(), "") << "question";
        pickCell(page, 0);
        confirm(page);
        for (const char* tab : {"questions", "results", "species"}) {
            page.js(QStringLiteral("document.querySelector('#tabs button[data-tab=%1]').click()")
                        .arg(tab));
            EXPECT_EQ(seriousAxeViolations(page).join('\n').toStdString(), "") << tab;
        }
        page.js("document.querySelector('#tabs button[data-tab=results]').click()");
        page.click(page.centreOf("#list button[data-line=\"0\"]"));
        ASSERT_TRUE(page.waitFor("document.body.dataset.tab === 'document'"));
        EXPECT_EQ(seriousAxeViolations(page).join('\n').toStdString(), "") << "document";
        if (phone) {
            page.click(page.centreOf("#menuButton"));
            EXPECT_EQ(seriousAxeViolations(page).join('\n').toStdString(), "") << "menu";
            page.click(page.centreOf("#menuButton"));
        }
        page.js("document.getElementById('share').click()");
        ASSERT_TRUE(page.waitFor("!document.getElementById('dialog').hidden"));
        EXPECT_EQ(seriousAxeViolations(page).join('\n').toStdString(), "") << "message box";
    }
}

// The demo's total length is answered by a number: the field, its unit and the message a
// value no range holds brings are read as well as the rest.
TEST(WebPlayerAccess, AxeFindsNothingSeriousAboutAMeasuredQuestion) {
    for (const QSize size : {QSize(1280, 800), QSize(360, 740)}) {
        SCOPED_TRACE(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
        WebPage page(size);
        ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
        ASSERT_TRUE(painted(page));
        page.js("document.querySelector('#tabs button[data-tab=questions]').click()");
        page.click(page.centreOf("#questionList .question[data-key=\"LENGTH\"] .ask"));
        ASSERT_TRUE(page.waitFor("document.body.dataset.question === 'LENGTH'"));
        ASSERT_TRUE(page.waitFor("!document.getElementById('measure').hidden"));
        EXPECT_EQ(page.js("document.querySelector('#measure .unit').textContent").toString(), "mm");
        EXPECT_EQ(seriousAxeViolations(page).join('\n').toStdString(), "") << "field";
        page.click(page.centreOf("#measure input"));
        page.type(Qt::Key_A);
        page.type(Qt::Key_Return);
        ASSERT_TRUE(page.waitFor("!document.getElementById('dialog').hidden"));
        EXPECT_EQ(seriousAxeViolations(page).join('\n').toStdString(), "") << "bad value";
    }
}

TEST(WebPlayerAccess, TheFocusFollowsQuestionsAndStaysInTheMessageBox) {
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    ASSERT_TRUE(painted(page));
    // The drawing has a name that says how to answer without it, and leads there.
    EXPECT_EQ(page.js("document.getElementById('drawing').getAttribute('aria-label')").toString(),
              pageText(page, 1795, 0));
    page.js("document.getElementById('drawing').focus()");
    page.type(Qt::Key_Return);
    EXPECT_TRUE(page.waitFor("document.activeElement === document.getElementById('filter')"))
        << focused(page).toStdString();
    EXPECT_EQ(page.js("document.body.dataset.tab").toString(), "questions");

    // A question opened from a toolbar button takes the focus; its cells are checkable.
    page.js("document.querySelector('#deterBar button:first-child').focus()");
    page.type(Qt::Key_Return);
    ASSERT_TRUE(page.waitFor("document.body.dataset.view === 'question'"));
    EXPECT_EQ(focused(page), "cell 0");
    EXPECT_EQ(page.js("document.getElementById('choice').getAttribute('role')").toString(),
              "group");
    EXPECT_EQ(page.js("document.getElementById('choice').getAttribute('aria-label')").toString(),
              page.js("VirekaPlayer.key.objects[VirekaPlayer.key.objectIndex(document.body.dataset"
                      ".question)].text")
                  .toString());
    page.type(Qt::Key_Space);
    EXPECT_TRUE(page.waitFor("document.activeElement.getAttribute('aria-checked') === 'true'"));
    EXPECT_EQ(page.js("document.activeElement.getAttribute('role')").toString(), "checkbox");
    // Escape abandons; the focus goes back to the button that opened the question.
    page.type(Qt::Key_Escape);
    ASSERT_TRUE(page.waitFor("document.body.dataset.view === 'key'"));
    EXPECT_TRUE(page.js("document.activeElement === document.querySelector('#deterBar"
                        " button:first-child')")
                    .toBool())
        << focused(page).toStdString();

    // After an answer from the questions panel the focus comes back to its row, and the
    // count and best percentage are in the announced line.
    page.js("document.querySelector('#tabs button[data-tab=questions]').click()");
    page.js("document.querySelector('#questionList .question .ask').focus()");
    const QString row =
        page.js("document.querySelector('#questionList .question').dataset.key").toString();
    page.type(Qt::Key_Return);
    ASSERT_TRUE(page.waitFor("document.body.dataset.view === 'question'"));
    page.type(Qt::Key_Space);
    ASSERT_TRUE(page.waitFor("document.querySelector('#choice .cell.marked')"));
    page.click(page.centreOf("#questionBar button:first-child"));
    ASSERT_TRUE(page.waitFor("document.body.dataset.view === 'key'"));
    EXPECT_TRUE(page.js(QStringLiteral("document.activeElement === document.querySelector("
                                       "'#questionList .question[data-key=\"%1\"] .ask')")
                            .arg(row))
                    .toBool())
        << focused(page).toStdString();
    EXPECT_EQ(page.js("document.getElementById('summary').getAttribute('aria-live')").toString(),
              "polite");
    EXPECT_EQ(page.js("document.getElementById('summary').textContent").toString(),
              engineLegend(page));
    EXPECT_NE(engineLegend(page), "49 species at 0 %");

    // The message box: named, modal, Tab stays on its button, Escape closes it and the focus
    // returns to the command.
    page.js("document.getElementById('share').focus()");
    page.type(Qt::Key_Return);
    ASSERT_TRUE(page.waitFor("!document.getElementById('dialog').hidden"));
    EXPECT_FALSE(page.js("document.querySelector('#dialog .box').getAttribute('aria-labelledby')")
                     .toString()
                     .isEmpty());
    EXPECT_FALSE(
        page.js("document.getElementById('dialogTitle').textContent").toString().isEmpty());
    for (int i = 0; i < 3; ++i) {
        page.type(Qt::Key_Tab);
        EXPECT_TRUE(
            page.js("document.getElementById('dialog').contains(document.activeElement)").toBool())
            << focused(page).toStdString();
    }
    page.type(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(
        page.js("document.getElementById('dialog').contains(document.activeElement)").toBool());
    page.type(Qt::Key_Escape);
    EXPECT_TRUE(page.waitFor("document.getElementById('dialog').hidden"));
    EXPECT_TRUE(page.waitFor("document.activeElement === document.getElementById('share')"))
        << focused(page).toStdString();
}
