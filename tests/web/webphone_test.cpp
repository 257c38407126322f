// The exported player held in one hand: at 360 x 740 and 412 x 915 CSS px every command is on
// the screen or behind the menu button, every target takes a finger, the tabs read in full,
// the count and best percentage stand above every pane, the states of a question are named
// in real text, and a part of the drawing smaller than a fingertip still answers a finger.
#include "fieldchecks.h"
#include "playerdriver.h"

#include <gtest/gtest.h>
#include <QTest>
#include <QWebEngineView>

using namespace testing_support;

namespace {

const QSize Phones[] = {{360, 740}, {412, 915}};
const char* Tabs[] = {"key", "questions", "results", "species", "document"};

void chooseLanguage(WebPage& page, int language) {
    page.js(QStringLiteral("(() => { const s = document.getElementById('language'); s.value = '%1';"
                           " s.dispatchEvent(new Event('change')); })()")
                .arg(language));
}

}  // namespace

TEST(WebPlayerPhone, EveryCommandIsOnTheScreenOrOneTapAwayAndTakesAFinger) {
    for (const QSize size : Phones) {
        SCOPED_TRACE(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
        WebPage page(size);
        ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
        ASSERT_TRUE(painted(page));
        EXPECT_LE(page.js("document.documentElement.scrollWidth").toInt(), size.width());
        EXPECT_EQ(untappable(page, "#menuButton, #tabs button, #deterBar button")
                      .join('\n')
                      .toStdString(),
                  "");
        // The first screen says what to do.
        EXPECT_EQ(page.js("document.getElementById('status').textContent").toString(),
                  pageText(page, 1792, 0));
        EXPECT_TRUE(shown(page, "#status"));

        // The commands are one tap away, each whole and large enough.
        EXPECT_FALSE(shown(page, "#save"));
        page.click(page.centreOf("#menuButton"));
        EXPECT_EQ(page.js("document.getElementById('menuButton').getAttribute('aria-expanded')")
                      .toString(),
                  "true");
        EXPECT_EQ(untappable(page, "#commands > button, #commands > label, #commands > select")
                      .join('\n')
                      .toStdString(),
                  "");
        page.click(page.centreOf("#menuButton"));
        EXPECT_FALSE(shown(page, "#save"));

        // The tabs read in full in every language; the count and the best percentage show
        // above every pane.
        for (int language : {0, 1, 2}) {
            chooseLanguage(page, language);
            EXPECT_EQ(page.js("[...document.querySelectorAll('#tabs button span')].filter((s) =>"
                              " s.scrollWidth > s.clientWidth + 0.5 || s.getBoundingClientRect()"
                              ".right > s.parentElement.getBoundingClientRect().right + 0.5)"
                              ".map((s) => s.textContent)")
                          .toStringList(),
                      QStringList())
                << "language " << language;
        }
        for (const char* tab : Tabs) {
            page.click(page.centreOf(QStringLiteral("#tabs button[data-tab=%1]").arg(tab)));
            EXPECT_EQ(page.js("document.body.dataset.tab").toString(), tab);
            EXPECT_TRUE(shown(page, "#summary")) << tab;
            EXPECT_EQ(page.js("document.getElementById('summary').textContent").toString(),
                      engineLegend(page));
        }
    }
}

TEST(WebPlayerPhone, TheStatesAreNamedInTextAndTheCellsFillTheFreeSpace) {
    for (const QSize size : Phones) {
        SCOPED_TRACE(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
        WebPage page(size);
        ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
        ASSERT_TRUE(painted(page));
        // The results were scrolled down before the answer.
        page.click(page.centreOf("#tabs button[data-tab=results]"));
        page.js("document.getElementById('sidePane').scrollTop = 400");
        ASSERT_GT(page.js("document.getElementById('sidePane').scrollTop").toInt(), 0);
        page.click(page.centreOf("#tabs button[data-tab=key]"));
        page.click(page.centreOf("#deterBar button:first-child"));  // Search
        ASSERT_TRUE(page.waitFor("document.body.dataset.view === 'question'"));
        const QString question = openQuestion(page);

        // Every state: its own name as text of at least 14 CSS px, in a cell a finger takes.
        const QVariantList names =
            page.js("[...document.querySelectorAll('#choice .cell')].map((c) => {"
                    " const n = c.querySelector('.name'); return [n.textContent,"
                    " parseFloat(getComputedStyle(n).fontSize), n.getBoundingClientRect().height]; "
                    "})")
                .toList();
        const int first = firstState(page, question);
        ASSERT_EQ(
            names.size(),
            page.js(QStringLiteral("VirekaPlayer.key.objects[VirekaPlayer.key.objectIndex('%1')]"
                                   ".count")
                        .arg(question))
                .toInt());
        for (int k = 0; k < names.size(); ++k) {
            const QVariantList n = names[k].toList();
            EXPECT_EQ(n[0].toString(),
                      page.js(QStringLiteral("VirekaPlayer.key.stateTexts[%1]").arg(first + k))
                          .toString());
            EXPECT_GE(n[1].toDouble(), 14.0) << k;
            EXPECT_GE(n[2].toDouble(), 14.0) << k;
        }
        EXPECT_EQ(untappable(page, "#choice .cell, #questionBar button:not([hidden])")
                      .join('\n')
                      .toStdString(),
                  "");
        // The cells reach across the free space in its tighter direction.
        const QVariantList fill =
            page.js("(() => { const s = document.getElementById('stage').getBoundingClientRect();"
                    " const cells = [...document.querySelectorAll('#choice .cell')].map((c) =>"
                    " c.getBoundingClientRect()); const w = Math.max(...cells.map((r) => r.right)) "
                    "-"
                    " Math.min(...cells.map((r) => r.left)); const h = Math.max(...cells.map((r) =>"
                    " r.bottom)) - Math.min(...cells.map((r) => r.top)); return [w / s.width,"
                    " h / s.height]; })()")
                .toList();
        ASSERT_EQ(fill.size(), 2);
        EXPECT_GE(std::max(fill[0].toDouble(), fill[1].toDouble()), 0.85)
            << fill[0].toDouble() << " x " << fill[1].toDouble();

        pickCell(page, 1);
        EXPECT_EQ(page.js("document.querySelector('#choice .cell[data-cell=\"1\"]')"
                          ".getAttribute('aria-checked')")
                      .toString(),
                  "true");
        confirm(page);
        EXPECT_EQ(page.js("document.getElementById('summary').textContent").toString(),
                  engineLegend(page));
        EXPECT_NE(engineLegend(page), "49 species at 0 %");
        page.click(page.centreOf("#tabs button[data-tab=results]"));
        EXPECT_EQ(page.js("document.getElementById('sidePane').scrollTop").toInt(), 0);
    }
}

TEST(WebPlayerPhone, APartSmallerThanAFingertipAnswersAFingerNearIt) {
    WebPage page({360, 740});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    ASSERT_TRUE(painted(page));
    // Where a pterostigma lies on the drawing as shown (the rightmost one), and a point
    // 14 CSS px under it.
    const QVariantList spot =
        page.js("(() => { const d = VirekaPlayer.drawing, r = d.canvas.getBoundingClientRect();"
                " const p = VirekaPlayer.key.objectIndex('PTEROSTIGMA');"
                " const s = d.hitMap().spots.filter((x) => x[2] === p); if (!s.length) return [];"
                " const right = Math.max(...s.map((x) => x[0]));"
                " const column = s.filter((x) => Math.abs(x[0] - right) <= 4);"
                " const ys = column.map((x) => x[1]);"
                " return [r.left + right, r.top + Math.max(...ys), Math.max(...ys) - "
                "Math.min(...ys)]; })()")
            .toList();
    ASSERT_EQ(spot.size(), 3) << "the pterostigma is not on the drawing";
    EXPECT_LT(spot[2].toDouble(), 30) << "the part is not small on a phone";
    const QPoint beside(int(spot[0].toDouble()), int(spot[1].toDouble() + 14));
    // A mouse points exactly: beside the part it is not the part.
    page.click(beside);
    EXPECT_NE(openQuestion(page), "PTEROSTIGMA");
    page.js(
        "document.body.dataset.view === 'question' && document.querySelector('#questionBar"
        " button:nth-child(2)').click()");
    ASSERT_TRUE(page.waitFor("document.body.dataset.view === 'key'"));
    // A finger there asks the part. (The touch is given as the page receives one: Qt's test
    // touches do not reach the page's pointer at their point offscreen.)
    page.js(QStringLiteral("(() => { const c = document.getElementById('drawing');"
                           " const at = {clientX: %1, clientY: %2, bubbles: true, button: 0,"
                           " pointerType: 'touch', isPrimary: true};"
                           " c.dispatchEvent(new PointerEvent('pointerdown', at));"
                           " c.dispatchEvent(new PointerEvent('pointerup', at));"
                           " c.dispatchEvent(new MouseEvent('click', at)); })()")
                .arg(beside.x())
                .arg(beside.y()));
    EXPECT_TRUE(page.waitFor("document.body.dataset.question === 'PTEROSTIGMA'", 5000))
        << openQuestion(page).toStdString();
}

// Long state names in French and Spanish break between words on a phone, never inside one,
// and stay whole in their cells at a readable size, in every question of the key.
TEST(WebPlayerPhone, StateNamesBreakBetweenWordsInEveryLanguage) {
    const QString brokenNames = QStringLiteral(
        "(() => { const out = []; for (const n of document.querySelectorAll('#choice .name')) {"
        " const text = n.firstChild; if (!text) continue;"
        " const re = /\\S+/g; let m; while ((m = re.exec(text.data)) !== null) {"
        "   const r = document.createRange(); r.setStart(text, m.index);"
        "   r.setEnd(text, m.index + m[0].length);"
        "   const tops = new Set([...r.getClientRects()].map((x) => Math.round(x.top)));"
        "   if (tops.size > 1) out.push('broken: ' + m[0]); }"
        " if (n.scrollWidth > n.clientWidth + 1) out.push('wider than its cell: ' + text.data);"
        " if (parseFloat(getComputedStyle(n).fontSize) < 14) out.push('small: ' + text.data); }"
        " return out.join('\\n'); })()");
    for (const QSize size : Phones) {
        WebPage page(size);
        ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
        ASSERT_TRUE(painted(page));
        const int questions = page.js("VirekaPlayer.key.objects.length").toInt();
        for (int language : {2, 1}) {
            chooseLanguage(page, language);
            for (int r = 0; r < questions; ++r) {
                if (page.js(QStringLiteral("VirekaPlayer.key.objects[%1].count").arg(r)).toInt() <
                    2)
                    continue;
                page.js(QStringLiteral("VirekaPlayer.openQuestion(%1, false)").arg(r));
                ASSERT_TRUE(page.waitFor(
                    QStringLiteral("document.body.dataset.question === VirekaPlayer.key."
                                   "objects[%1].key")
                        .arg(r)));
                page.waitFor(brokenNames + " === ''", 1000);
                EXPECT_EQ(page.js(brokenNames).toString().toStdString(), "")
                    << size.width() << " px, language " << language << ", question " << r;
            }
        }
    }
}
