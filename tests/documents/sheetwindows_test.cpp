#include "documents/documentevents.h"
#include "documents/frmlegende.h"
#include "documents/frmzoom.h"
#include "kb/model.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

using documents::DocumentEvents;
using documents::frmLegende;
using documents::frmZoom;

namespace {

// The zoom window on a real widget: a picture whose every pixel tells where it lies.
class ZoomWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        picture = QImage(300, 400, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) | (y / 256) << 4));
        zoom.resize(100, 80);
        zoom.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&zoom));
        t = zoom.twips();
    }
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(at), zoom.mapToGlobal(QPointF(at)), button, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(&zoom, &e);
    }
    // Presses at from and drags to each point in turn.
    void drag(QPoint from, std::initializer_list<QPoint> path) {
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (QPoint p : path) send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, *(path.end() - 1), Qt::LeftButton, Qt::NoButton);
    }
    QPoint shownOrigin() {
        const QImage shot = zoom.grab().toImage();
        const QRgb c = shot.pixel(0, 0);
        return {qRed(c) + 256 * (qBlue(c) & 15), qGreen(c) + 256 * (qBlue(c) >> 4)};
    }

    platform::Settings::Values values;
    kb::Model model;
    DocumentEvents events{values, model, {}};
    frmZoom zoom{events};
    QImage picture;
    documents::TwipsPerPixel t;
};

TEST_F(ZoomWindowTest, StartsHiddenWithItsOwnCaptionAndPaintsNothingWithoutAPicture) {
    frmZoom fresh(events);
    EXPECT_FALSE(fresh.isVisible());
    EXPECT_EQ(fresh.windowTitle(), "Image X4 de : ");
    EXPECT_TRUE(fresh.windowFlags() & Qt::WindowStaysOnTopHint);
    const QImage shot = zoom.grab().toImage();
    EXPECT_EQ(shot.pixel(50, 40), zoom.palette().color(QPalette::Window).rgb());
}

TEST_F(ZoomWindowTest, ShowsThePictureUnscaledFromTheZoomCorner) {
    events.setDocPicture(picture);
    events.ZoomX = int(40 * t.x);
    events.ZoomY = int(30 * t.y);
    EXPECT_EQ(shownOrigin(), QPoint(40, 30));
    const QImage shot = zoom.grab().toImage();
    EXPECT_EQ(qRed(shot.pixel(10, 5)), 50);  // one picture pixel per pixel
    EXPECT_EQ(qGreen(shot.pixel(10, 5)), 35);
}

TEST_F(ZoomWindowTest, DragFollowsThePointerAndStopsAtEveryEdge) {
    events.setDocPicture(picture);
    events.ZoomX = int(100 * t.x);
    events.ZoomY = int(100 * t.y);
    drag({50, 40}, {{40, 30}});  // up and left by 10: the view goes 10 further
    EXPECT_EQ(shownOrigin(), QPoint(110, 110));
    for (int i = 0; i < 3; ++i) drag({0, 0}, {{99, 79}});  // far down and right: near edges
    EXPECT_EQ(events.ZoomX, 0);
    EXPECT_EQ(events.ZoomY, 0);
    for (int i = 0; i < 6; ++i) drag({99, 79}, {{0, 0}});  // far the other way: the far edges
    EXPECT_EQ(events.ZoomX, int(std::lround((300 - 100) * t.x)));
    EXPECT_EQ(events.ZoomY, int(std::lround((400 - 80) * t.y)));
    EXPECT_EQ(shownOrigin(), QPoint(200, 320));
}

TEST_F(ZoomWindowTest, MoveWithoutAButtonOnlySetsWhereTheNextDragStarts) {
    events.setDocPicture(picture);
    events.ZoomX = int(100 * t.x);
    events.ZoomY = int(100 * t.y);
    send(QEvent::MouseMove, {60, 50}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(events.ZoomX, int(100 * t.x));
    EXPECT_EQ(zoom.lastPosition(), QPoint(int(60 * t.x), int(50 * t.y)));
    // A right-button drag moves nothing either.
    send(QEvent::MouseMove, {20, 20}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(events.ZoomX, int(100 * t.x));
    send(QEvent::MouseMove, {30, 30}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(shownOrigin(), QPoint(90, 90));
}

TEST_F(ZoomWindowTest, WindowLargerThanThePictureShowsItsCornerAndNothingStale) {
    events.setDocPicture(picture);
    zoom.resize(360, 440);
    QTest::qWait(20);
    drag({10, 10}, {{5, 5}});
    EXPECT_EQ(events.ZoomX, 0);
    EXPECT_EQ(events.ZoomY, 0);
    // A smaller picture replaces the first: what lay beyond it is cleared.
    events.setDocPicture(picture.copy(0, 0, 50, 50));
    zoom.Paint_Zoom();
    const QImage shot = zoom.grab().toImage();
    EXPECT_EQ(qRed(shot.pixel(20, 20)), 20);
    EXPECT_EQ(shot.pixel(200, 200), zoom.palette().color(QPalette::Window).rgb());
}

TEST(LegendWindow, FitsItsTextAndSitsBesideTheSplitterOnTheScreen) {
    QWidget main;
    main.setGeometry(300, 200, 800, 500);
    QWidget splitter(&main);
    splitter.setGeometry(400, 30, 6, 450);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    frmLegende legend(&main);
    legend.Show_Legend("Legend", "1 petal", &splitter);
    EXPECT_TRUE(legend.isVisible());
    EXPECT_EQ(legend.windowTitle(), "Legend");
    const QFontMetrics fm(legend.font());
    EXPECT_EQ(legend.width(), fm.horizontalAdvance("  1 petal") + 3);
    EXPECT_EQ(legend.height(), fm.height() + 2);
    // Placed from the splitter's place on the screen, not in the window.
    const QPoint corner = splitter.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(legend.x(), corner.x() - qRound(2.0 * legend.frameGeometry().width() / 3));
    EXPECT_EQ(legend.y(), corner.y() + 300);
    // A splitter near the screen's edge keeps the window on the screen.
    main.move(0, 0);
    splitter.move(2, 30);
    legend.Show_Legend("Legend", "1 petal", &splitter);
    const QRect available = splitter.screen()->availableGeometry();
    EXPECT_GE(legend.frameGeometry().left(), available.left());
    EXPECT_TRUE(available.contains(legend.frameGeometry()));
    // Shown again in place, with a longer text, it keeps its place and grows.
    const QPoint before = legend.pos();
    legend.Show_Legend("Legend", "1 petal\n2 sepals, each longer", nullptr);
    EXPECT_EQ(legend.pos(), before);
    EXPECT_GT(legend.height(), 2 * fm.height());
    EXPECT_EQ(legend.width(), fm.horizontalAdvance("2 sepals, each longer") + 3);
}

}  // namespace
