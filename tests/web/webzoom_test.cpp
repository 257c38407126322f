// The drawing on a phone: zoomed by its buttons or two fingers into the free height of the
// screen, panned by scrolling, and every point still asks the question it asks unzoomed.
#include "playerdriver.h"

#include <gtest/gtest.h>
#include <QRectF>

using namespace testing_support;

namespace {

QRectF rectOf(WebPage& page, const QString& selector) {
    const QVariantList r = page.js(QStringLiteral("(() => { const r = document.querySelector('%1')"
                                                  ".getBoundingClientRect(); return [r.left, "
                                                  "r.top, r.width, r.height]; })()")
                                       .arg(selector))
                               .toList();
    if (r.size() != 4) return {};
    return {r[0].toDouble(), r[1].toDouble(), r[2].toDouble(), r[3].toDouble()};
}

// A point of the drawing (in its 2400 x 1800 grid), the stage scrolled to show it first.
QPoint shownOnDrawing(WebPage& page, double x, double y) {
    const QRectF stage = rectOf(page, "#stage");
    QPoint at = onDrawing(page, x, y);
    page.js(QStringLiteral("(() => { const s = document.getElementById('stage');"
                           " s.scrollLeft += %1; s.scrollTop += %2; })()")
                .arg(at.x() - stage.center().x())
                .arg(at.y() - stage.center().y()));
    return onDrawing(page, x, y);
}

void closeQuestion(WebPage& page) {
    page.js("document.querySelector('#questionBar button:nth-child(2)').click()");
    page.waitFor("document.body.dataset.view === 'key'");
}

}  // namespace

TEST(WebPlayerZoom, TheDrawingGrowsIntoTheFreeHeightAndStillAsksWhatItShows) {
    WebPage page({360, 740});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
    ASSERT_TRUE(painted(page));
    const QRectF stage = rectOf(page, "#stage");
    const QRectF fitted = rectOf(page, "#drawing");
    ASSERT_GT(stage.height(), fitted.height() + 100) << "no free height under the drawing";
    for (const char* button : {"#zoomIn", "#zoomOut"}) {
        const QRectF r = rectOf(page, button);
        EXPECT_GE(r.width(), 44);
        EXPECT_GE(r.height(), 44);
        EXPECT_TRUE(stage.contains(r.center()));
    }
    // The points the other tests ask, with their questions, at every zoom.
    const struct {
        double x, y;
        const char* question;
    } points[] = {{1120, 260, "EYES"}, {1060, 262, "EYES"}};
    const auto asksAsUnzoomed = [&](const char* when) {
        for (const auto& p : points) {
            SCOPED_TRACE(when);
            ASSERT_TRUE(ask(page, shownOnDrawing(page, p.x, p.y), p.question))
                << openQuestion(page).toStdString();
            closeQuestion(page);
        }
    };
    asksAsUnzoomed("fitted");

    // One step in: the drawing takes the whole height of the stage and pans sideways.
    page.click(page.centreOf("#zoomIn"));
    ASSERT_TRUE(painted(page));
    const QRectF filled = rectOf(page, "#drawing");
    EXPECT_GE(filled.height(), stage.height() - 4);
    EXPECT_GT(page.js("document.getElementById('stage').scrollWidth -"
                      " document.getElementById('stage').clientWidth")
                  .toInt(),
              50);
    asksAsUnzoomed("filling the height");
    page.click(page.centreOf("#zoomIn"));
    ASSERT_TRUE(painted(page));
    EXPECT_GT(rectOf(page, "#drawing").width(), filled.width() * 1.4);
    asksAsUnzoomed("zoomed twice");

    // Back out to the fitted drawing.
    page.click(page.centreOf("#zoomOut"));
    page.click(page.centreOf("#zoomOut"));
    EXPECT_NEAR(rectOf(page, "#drawing").width(), fitted.width(), 1.5);
    EXPECT_TRUE(page.js("document.getElementById('zoomOut').disabled").toBool());

    // Two fingers spread over the drawing zoom it and ask nothing.
    page.js(QStringLiteral(
        "(() => { const c = document.getElementById('drawing'), r = c.getBoundingClientRect();"
        " const y = r.top + r.height / 2, x = r.left + r.width / 2;"
        " const at = (id, dx, type) => c.dispatchEvent(new PointerEvent(type, {pointerId: id,"
        " clientX: x + dx, clientY: y, bubbles: true, button: 0, pointerType: 'touch',"
        " isPrimary: id === 1}));"
        " at(1, -20, 'pointerdown'); at(2, 20, 'pointerdown');"
        " for (let d = 20; d <= 60; d += 10) { at(1, -d, 'pointermove'); at(2, d, 'pointermove'); }"
        " at(1, -60, 'pointerup'); at(2, 60, 'pointerup');"
        " c.dispatchEvent(new MouseEvent('click', {clientX: x, clientY: y, bubbles: true})); "
        "})()"));
    EXPECT_GT(rectOf(page, "#drawing").width(), fitted.width() * 2.5);
    EXPECT_EQ(openQuestion(page), "");
}
