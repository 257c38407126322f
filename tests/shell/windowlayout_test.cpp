#include "shell/windowlayout.h"

#include <gtest/gtest.h>

using namespace shell;

namespace {

LayoutInput bare() {
    LayoutInput in;
    in.scaleWidth = 15360;
    in.scaleHeight = 11070;
    in.toolbarVisible = false;
    in.statusBarVisible = false;
    in.toolbarHeight = 600;
    in.statusBarHeight = 300;
    in.drawingLeft = 35;
    in.deterToolbarWidth = 900;
    in.questionToolbarWidth = 900;
    in.splitterWidth = 60;
    return in;
}

}  // namespace

TEST(DisposeFenetre, AWindowLimitedByItsWidth) {
    const Layout l = Dispose_Fenetre(bare());
    EXPECT_EQ(l.availableHeight, 11000);
    EXPECT_EQ(l.availableWidth, 14355);
    EXPECT_EQ(l.drawing, QRectF(35, 35, 14355, 10766));
    EXPECT_EQ(l.choicePicture, l.drawing);
    EXPECT_DOUBLE_EQ(l.smallDrawing.width(), 3588.75);
    EXPECT_DOUBLE_EQ(l.smallDrawing.height(), 2691.5625);
    EXPECT_DOUBLE_EQ(l.speciesList.top(), 35 + 2691.5625);
    EXPECT_DOUBLE_EQ(l.speciesTree.height(), 11000 - 2691.5625);
    EXPECT_DOUBLE_EQ(l.splitter.left(), 35 + 3588.75);
    EXPECT_DOUBLE_EQ(l.splitter.height(), 11000);
    EXPECT_DOUBLE_EQ(l.document.left(), 35 + 3588.75 + 60);
    EXPECT_DOUBLE_EQ(l.document.width(), 15360 - 35 - 3588.75 - 60 - 35);
    EXPECT_EQ(l.deterToolbar, QPointF(15360 - 900, 800));
}

TEST(DisposeFenetre, AWideWindowIsLimitedByItsHeight) {
    LayoutInput in = bare();
    in.scaleWidth = 30000;
    const Layout l = Dispose_Fenetre(in);
    EXPECT_EQ(l.drawing.height(), 11000);
    EXPECT_EQ(l.drawing.width(), 14667);  // 11000 * 4 / 3 = 14666.67, rounded
    EXPECT_NEAR(l.drawing.width() / l.drawing.height(), 4.0 / 3.0, 1e-3);
}

TEST(DisposeFenetre, TheMainToolbarAndStatusBarTakeTheirHeight) {
    LayoutInput in = bare();
    in.scaleWidth = 30000;
    in.toolbarVisible = true;
    in.statusBarVisible = true;
    const Layout shown = Dispose_Fenetre(in);
    EXPECT_EQ(shown.drawing.top(), 635);
    EXPECT_EQ(shown.drawing.height(), 11000 - 600 - 300);
    in.toolbarVisible = false;
    const Layout hidden = Dispose_Fenetre(in);
    EXPECT_EQ(hidden.drawing.top(), 35);
    EXPECT_GT(hidden.drawing.height(), shown.drawing.height());
    // The toolbars keep their place below where the main toolbar stands.
    EXPECT_EQ(hidden.deterToolbar.y(), 800);
}

TEST(DisposeFenetre, TheResultBoxSitsOverTheSecondStatusPanel) {
    LayoutInput in = bare();
    in.statusPanel1Width = 3000;
    in.statusPanel2Width = 4000;
    in.pixelWidth = 15;
    in.pixelHeight = 15;
    const Layout l = Dispose_Fenetre(in);
    EXPECT_EQ(l.resultBox, QRectF(3030, 11070 - 300 + 30, 4000, 270));
}

TEST(SplitterDrop, StopsAtTheMiddleAndAtItsOwnWidth) {
    const LayoutInput in = bare();
    const Layout l = Dispose_Fenetre(in);
    SplitterDrop far = Barre_Verticale_Drop(l, 12000, 60, in.scaleWidth, 15480);
    EXPECT_EQ(far.splitterLeft, 7740);
    EXPECT_EQ(far.document.left(), 7800);
    EXPECT_EQ(far.document.width(), 15360 - 7740 - 60 - 35);
    EXPECT_EQ(far.smallDrawing.width(), 7740 - 35);
    EXPECT_EQ(far.smallDrawing.height(), (7740 - 35) * 0.75);
    EXPECT_EQ(far.speciesTree.top(), 35 + (7740 - 35) * 0.75);
    EXPECT_EQ(far.speciesTree.height(), l.document.height() - far.smallDrawing.height());

    SplitterDrop near = Barre_Verticale_Drop(l, 20, 60, in.scaleWidth, 15480);
    EXPECT_EQ(near.splitterLeft, 60);
    EXPECT_EQ(near.smallDrawing.width(), 25);
}
