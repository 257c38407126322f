// The parts of the player that turn the drawing into questions: the zone rules and the
// palette, run in the browser on the exported scripts, and what the canvas shows as the
// description changes.
#include "playerdriver.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace testing_support;

namespace {

// The question key a set of zones gives at a point ("" when no zone decides, "-" when the
// zone's question does not exist), the description given as chosen states and open frames.
QString zoneAt(WebPage& page, const QString& zones, int x, int y, const QString& choice = "[]",
               const QString& frames = "[0, 0]") {
    return page
        .js(QStringLiteral("(() => { const z = VirekaHitTest.zoneStage(%1, (k) => k === 'GONE' ?"
                           " -1 : 1, %2, %3, %4, %5); return z === null ? '' : z.object < 0 ?"
                           " '-' : z.key; })()")
                .arg(zones, choice, frames)
                .arg(x)
                .arg(y))
        .toString();
}

QString zone(const QString& key, int x1, int y1, int x2, int y2, int frame, bool testFrame,
             const QString& when = "[]") {
    return QStringLiteral(
               "{object: '%1', x1: %2, y1: %3, x2: %4, y2: %5, frame: %6, "
               "testFrame: %7, when: %8}")
        .arg(key)
        .arg(x1)
        .arg(y1)
        .arg(x2)
        .arg(y2)
        .arg(frame)
        .arg(testFrame ? "true" : "false", when);
}

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

TEST(WebDrawing, ZonesFollowTheirBordersFramesAndConditions) {
    WebPage page({800, 600});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
    const QString plain = "[" + zone("A", 100, 100, 200, 200, -2, false) + "]";
    EXPECT_EQ(zoneAt(page, plain, 150, 150), "A");
    // A point on the border is outside, on all four sides.
    EXPECT_EQ(zoneAt(page, plain, 100, 150), "");
    EXPECT_EQ(zoneAt(page, plain, 200, 150), "");
    EXPECT_EQ(zoneAt(page, plain, 150, 100), "");
    EXPECT_EQ(zoneAt(page, plain, 150, 200), "");

    // A frame row that is not hit hides the later rows of its frame, open or not, until a
    // frame row of another number.
    const QString framed = "[" + zone("F", 0, 0, 50, 50, 0, false) + "," +
                           zone("IN", 100, 100, 200, 200, 0, true) + "]";
    EXPECT_EQ(zoneAt(page, framed, 150, 150, "[]", "[-1, 0]"), "");
    const QString reopened = "[" + zone("F", 0, 0, 50, 50, 0, false) + "," +
                             zone("G", 0, 0, 50, 50, 1, false) + "," +
                             zone("IN", 100, 100, 200, 200, 0, true) + "]";
    EXPECT_EQ(zoneAt(page, reopened, 150, 150, "[]", "[-1, 0]"), "IN");
    EXPECT_EQ(zoneAt(page, reopened, 150, 150, "[]", "[0, 0]"), "");  // its frame is closed
    // Rows of frame -1 before any frame row never count.
    EXPECT_EQ(zoneAt(page, "[" + zone("N", 100, 100, 200, 200, -1, false) + "]", 150, 150), "");

    // Conditions: every state must be chosen, with the value 1.
    const QString conditional = "[" + zone("C", 100, 100, 200, 200, -2, false, "[2]") + "]";
    EXPECT_EQ(zoneAt(page, conditional, 150, 150, "[0, 0, 1]"), "C");
    EXPECT_EQ(zoneAt(page, conditional, 150, 150, "[0, 0, 2]"), "");
    EXPECT_EQ(zoneAt(page, conditional, 150, 150, "[0, 0]"), "");
    // An earlier row wins; a row whose question is missing hands over to the colour.
    const QString two = "[" + zone("GONE", 100, 100, 200, 200, -2, false) + "," +
                        zone("B", 100, 100, 200, 200, -3, false) + "]";
    EXPECT_EQ(zoneAt(page, two, 150, 150), "-");
}

TEST(WebDrawing, ColoursGoToTheNearestPaletteEntry) {
    WebPage page({800, 600});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB)));
    const QString palette =
        "[{colour: 0x0000ff, bgr: [0, 0, 255], code: 'RED'},"
        " {colour: 0x0000ff, bgr: [0, 0, 255], code: 'RED2'},"
        " {colour: 0xff0000, bgr: [255, 0, 0], code: 'BLUE'},"
        " {colour: 0x00ff00, bgr: [0, 255, 0], code: 'GREEN'}]";
    const auto code = [&](const QString& colour) {
        return page.js(QStringLiteral("VirekaHitTest.nearestCode(%1, %2)").arg(palette, colour))
            .toString();
    };
    EXPECT_EQ(code("0x0000ff"), "RED");  // the first equal entry
    EXPECT_EQ(code("0x1010f0"), "RED");  // the nearest
    EXPECT_EQ(code("0x00f010"), "GREEN");
    EXPECT_EQ(code("0x800080"), "RED");  // red and blue equally near: the lower entry
    EXPECT_EQ(code("0x008080"), "RED");  // red and green equally near
    EXPECT_EQ(page.js("VirekaHitTest.nearestCode([], 0x123456)").toString(), "");
    EXPECT_EQ(page.js("[2.5, 3.5, -0.5, 1.2].map(VirekaHitTest.roundHalfEven).join()").toString(),
              "2,4,0,1");
}

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
