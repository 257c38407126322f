// What the player's canvas shows as the description changes. The zone rules and the palette
// are checked on the case table the program's hit test shares (tests/data/hittest_cases.json,
// tests/tools/web/hittest_cases.mjs).
#include "playerdriver.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace testing_support;

namespace {

// The colour (0xRRGGBB) the canvas shows at a zone-grid position.
int shownColour(WebPage& page, int x, int y) {
    return page
        .js(QStringLiteral("(() => { const c = document.getElementById('drawing');"
                           " const p = c.getContext('2d').getImageData(Math.floor(%1 * c.width /"
                           " 2400), Math.floor(%2 * c.height / 1800), 1, 1).data;"
                           " return p[0] * 65536 + p[1] * 256 + p[2]; })()")
                .arg(x)
                .arg(y))
        .toInt();
}

}  // namespace

TEST(WebDrawing, TheCanvasShowsTheVariantsAndTheContradictionMarks) {
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    ASSERT_TRUE(painted(page));
    const int eye = 0x3a78b8, contra = 0xe0312b;
    // The dragonfly's eyes touch on the axis; the damselfly's lie wide apart.
    EXPECT_EQ(shownColour(page, 1120, 260), eye);
    EXPECT_NE(shownColour(page, 1030, 262), eye);
    page.click(page.centreOf("#deterBar button:nth-child(3)"));  // "Suborder"
    ASSERT_TRUE(page.waitFor("document.body.dataset.question === 'SUBORDER'"));
    pickCell(page, 1);  // damselfly
    confirm(page);
    ASSERT_TRUE(page.waitFor(QStringLiteral("(() => { const c = document.getElementById('drawing');"
                                            " const p = c.getContext('2d').getImageData(Math.floor("
                                            "1030 * c.width / 2400), Math.floor(262 * c.height / "
                                            "1800), 1, 1).data; return p[0] * 65536 + p[1] * 256 + "
                                            "p[2] === %1; })()")
                                 .arg(eye)));

    // Eyes touching: a dragonfly whose eyes lie apart contradicts both answers. The mark of
    // the eyes is drawn over the drawing, the button of the suborder shows its icon.
    ASSERT_TRUE(ask(page, onDrawing(page, 1060, 262), "EYES"));
    pickCell(page, 0);
    confirm(page);
    const int line = page.js("VirekaPlayer.id().list().findIndex((e, i) => { const c ="
                             " VirekaPlayer.id().contradictions(i); return c.layers.length > 0 &&"
                             " c.buttons.length > 0; })")
                         .toInt();
    ASSERT_GE(line, 0);
    page.click(page.centreOf("#tabs button[data-tab=results]"));
    page.click(page.centreOf(QStringLiteral("#list button[data-line=\"%1\"]").arg(line)));
    page.click(page.centreOf("#tabs button[data-tab=results]"));
    ASSERT_TRUE(page.waitFor("!document.getElementById('contra').hidden"));
    EXPECT_NE(shownColour(page, 980, 262), contra);
    page.click(page.centreOf("#contra"));
    ASSERT_TRUE(page.waitFor("VirekaPlayer.drawing.paths.some(p => p.startsWith('CONTRA/EYES'))"));
    EXPECT_EQ(page.js("VirekaPlayer.drawing.paths.slice(-1)[0]").toString(), "CONTRA/EYES_Z.WMF");
    EXPECT_TRUE(page.waitFor(QStringLiteral("(() => { const c = document.getElementById('drawing');"
                                            " const p = c.getContext('2d').getImageData(Math.floor("
                                            "980 * c.width / 2400), Math.floor(262 * c.height / "
                                            "1800), 1, 1).data; return p[0] * 65536 + p[1] * 256 + "
                                            "p[2] === %1; })()")
                                 .arg(contra)));
    EXPECT_EQ(page.js("document.querySelectorAll('#contraList li').length").toInt(), 2);
    EXPECT_TRUE(page.js("document.querySelector('#deterBar button:nth-child(3)').classList"
                        ".contains('contradicted')")
                    .toBool());
    // A new answer takes the marks away.
    page.click(page.centreOf("#undo"));
    EXPECT_TRUE(page.waitFor("!VirekaPlayer.drawing.paths.some(p => p.startsWith('CONTRA/'))"));
    EXPECT_FALSE(page.js("document.querySelector('#deterBar button:nth-child(3)').classList"
                         ".contains('contradicted')")
                     .toBool());
}
