#include "documents/zoomgeometry.h"

#include <gtest/gtest.h>
#include <limits>

using namespace documents;

namespace {

// 96 dots an inch: 15 twips a pixel. A 440-pixel zoom window is 6600 twips; the page
// picture of a sheet is 2200 x 3300 pixels, 33000 x 49500 twips.
constexpr float Tpp = 15;
ZoomAxis axis(float scale, int pictureSize) {
    return ZoomAxis{Tpp, scale, pictureSize};
}

TEST(ZoomPosition, CentresTheWindowOnTheFullSizePointAndRoundsTiesToEven) {
    // 100 sheet pixels right of the origin: 400 picture pixels, 6000 twips, less half the
    // window.
    EXPECT_EQ(zoomPosition(112, 12, axis(6600, 2200)), 2700);
    // Half of an odd window width leaves a half twip: 6000 - 3300.5 and 6000 - 3301.5.
    EXPECT_EQ(zoomPosition(112, 12, axis(6601, 2200)), 2700);  // 2699.5 up to even
    EXPECT_EQ(zoomPosition(112, 12, axis(6603, 2200)), 2698);  // 2698.5 down to even
}

TEST(ZoomPosition, StaysInsideThePictureWhateverItsSize) {
    // At the origin and before it: the near edge.
    EXPECT_EQ(zoomPosition(12, 12, axis(6600, 2200)), 0);
    EXPECT_EQ(zoomPosition(0, 12, axis(6600, 2200)), 0);
    // At the far end of the sheet's picture the window ends on the picture's far edge.
    EXPECT_EQ(zoomPosition(12 + 549, 12, axis(6600, 2200)), 33000 - 6600);
    EXPECT_EQ(zoomPosition(12 + 800, 12, axis(6600, 2200)), 33000 - 6600);
    // Vertically the same against the picture's height.
    EXPECT_EQ(zoomPosition(72 + 824, 72, axis(6600, 3300)), 49500 - 6600);
    // A smaller picture: its own far edge, not the usual one.
    EXPECT_EQ(zoomPosition(12 + 249, 12, axis(6600, 1000)), 15000 - 6600);
    // A window longer than the picture shows its near edge.
    EXPECT_EQ(zoomPosition(12 + 70, 12, axis(6600, 300)), 0);
}

TEST(ZoomPosition, ArithmeticLeavingThirtyTwoBitsGivesNothing) {
    constexpr auto big = std::numeric_limits<std::int32_t>::max();
    EXPECT_FALSE(zoomPosition(big, -1, axis(6600, 2200)));
    EXPECT_FALSE(zoomPosition(600000000, 12, axis(6600, 2200)));  // four times leaves 32 bits
}

TEST(DragZoom, PictureFollowsThePointerAndStopsAtEveryEdge) {
    // The pointer goes down 500 twips: the view shows the part 500 twips higher.
    EXPECT_EQ(dragZoom(1000, 3000, 1500, axis(6600, 2200)), 2500);
    EXPECT_EQ(dragZoom(1500, 3000, 1000, axis(6600, 2200)), 3500);
    // Ties of the pointer's position go to even.
    EXPECT_EQ(dragZoom(1000, 3000, 1499.5f, axis(6600, 2200)), 2500);
    EXPECT_EQ(dragZoom(1000, 3000, 1498.5f, axis(6600, 2200)), 2502);
    // Past the near edge and past the far edge.
    EXPECT_EQ(dragZoom(0, 100, 500, axis(6600, 2200)), 0);
    EXPECT_EQ(dragZoom(1000, 26000, 0, axis(6600, 2200)), 33000 - 6600);
    EXPECT_EQ(dragZoom(1000, 42000, 0, axis(6600, 3300)), 49500 - 6600);
}

TEST(DragZoom, WindowLongerThanThePictureAlwaysShowsItsNearEdge) {
    EXPECT_EQ(dragZoom(1000, 500, 0, axis(3300 * Tpp + Tpp, 3300)), 0);
    EXPECT_EQ(dragZoom(0, 500, 1000, axis(2201 * Tpp, 2200)), 0);
    // Exactly as long as the picture: nothing to move.
    EXPECT_EQ(dragZoom(1000, 0, 0, axis(2200 * Tpp, 2200)), 0);
}

TEST(DragZoom, SumLeavingThirtyTwoBitsGivesNothing) {
    constexpr auto big = std::numeric_limits<std::int32_t>::max();
    EXPECT_FALSE(dragZoom(big, big, 0, axis(6600, 2200)));
}

TEST(LegendPosition, BesideTheSplitterAndRoundedAsOfOld) {
    LegendPlacement p;
    p.splitterLeft = 3000;
    p.splitterTop = 1500;
    p.splitterHeight = 9000;
    p.windowWidth = 1800;
    p.windowHeight = 600;
    // Two thirds of the width to the left, a third of the splitter's height down.
    EXPECT_EQ(legendPosition(p), QPointF(3000 - 1200, 1500 + 6000));
    // Twice the width is rounded halves to even before the whole division by 3.
    p.windowWidth = 1000.25;  // 2000.5 -> 2000 -> 666
    EXPECT_EQ(legendPosition(p).x(), 3000 - 666);
    p.windowWidth = 1000.75;  // 2001.5 -> 2002 -> 667
    EXPECT_EQ(legendPosition(p).x(), 3000 - 667);
}

TEST(LegendPosition, KeptOnTheAvailableAreaOfItsScreen) {
    LegendPlacement p;
    p.splitterHeight = 9000;
    p.windowWidth = 1800;
    p.windowHeight = 600;
    p.available = QRectF(0, 0, 19200, 12000);
    p.splitterLeft = 600;  // two thirds of the window would stick out on the left
    p.splitterTop = 8000;  // and a third of the splitter down is below the screen
    EXPECT_EQ(legendPosition(p), QPointF(0, 12000 - 600));
    // A second screen to the right: the window stays on it.
    p.available = QRectF(19200, 0, 19200, 12000);
    p.splitterLeft = 19200 + 600;
    p.splitterTop = 0;
    EXPECT_EQ(legendPosition(p), QPointF(19200, 6000));
}

// The zoom window never covers the page picture it steers when there is room beside it; on a
// 1024 x 768 screen, where there is not, it is narrowed into the wider strip.
TEST(ZoomWindowPlace, BesideThePagePictureOrNarrowedButNeverOverIt) {
    ZoomPlacement p;
    p.preferred = QSize(440, 440);
    p.frame = QMargins(4, 24, 4, 4);
    p.available = QRect(0, 0, 1920, 1050);
    p.picture = QRect(400, 200, 550, 825);  // room on the right
    QRect r = zoomWindowRect(p);
    EXPECT_FALSE(r.intersects(p.picture));
    EXPECT_GT(r.left(), p.picture.right());
    EXPECT_EQ(r.size(), QSize(448, 468));
    EXPECT_TRUE(p.available.contains(r));

    p.picture = QRect(1300, 200, 550, 825);  // room on the left only
    r = zoomWindowRect(p);
    EXPECT_FALSE(r.intersects(p.picture));
    EXPECT_LT(r.right(), p.picture.left());
    EXPECT_TRUE(p.available.contains(r));

    // 1024 x 768: the sheet's picture stands from x 274 to 823, leaving 268 pixels on the
    // left and 194 on the right.
    p.available = QRect(0, 0, 1024, 740);
    p.picture = QRect(274, 150, 550, 825);
    r = zoomWindowRect(p);
    EXPECT_FALSE(r.intersects(p.picture)) << r.x() << " " << r.width();
    EXPECT_TRUE(p.available.contains(r));
    EXPECT_GE(r.width() - 8, p.minimum);
    EXPECT_EQ(r.left(), 0);
}

}  // namespace
