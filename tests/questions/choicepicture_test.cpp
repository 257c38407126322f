#include "questionsfixture.h"

#include "questions/choicepicture.h"
#include "support/fileopentrap.h"

#include <QDateTime>
#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using questions::ChoicePicture;

namespace {

// Pic_Choix on a question of 2 rows x 3 columns and 5 states: cell 5 names no state.
class ChoicePictureTest : public QuestionsTest {
protected:
    void SetUp() override {
        base.objects.push_back({"CORPS", 2, 3, 0, 5, -1, 2, "Body", "corps.png", true});
        base.stateTips = {"tip0", "tip1", "tip2", "tip3", "tip4"};
        load();
        ASSERT_TRUE(engine->openQuestion("CORPS"));
        picture =
            std::make_unique<ChoicePicture>(engine->question(), ChoicePicture::stateTips(model));
        picture->resize(180, 80);
        ASSERT_TRUE(picture->loadPicture(base.dataDir() + "corps.png"));
        picture->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(picture.get()));
    }

    int& selected() { return engine->question().SelectedChoice; }
    void click(QPoint p) { QTest::mouseClick(picture.get(), Qt::LeftButton, {}, p); }
    QColor pixel(int x, int y) { return shownPixel(*picture, x, y); }
    // The colour shown at a point in window units, on a display of any scale factor.
    static QColor shownPixel(QWidget& widget, int x, int y) {
        const QImage shown = widget.grab().toImage();
        const qreal ratio = shown.devicePixelRatio();
        return shown.pixelColor(int(x * ratio), int(y * ratio));
    }
    QString tipAt(QPoint p) {
        QMouseEvent move(QEvent::MouseMove, p, picture->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         {});
        QCoreApplication::sendEvent(picture.get(), &move);
        return picture->toolTip();
    }

    std::unique_ptr<ChoicePicture> picture;
};

TEST_F(ChoicePictureTest, CellsAreCountedRowByRowAndTheLineBelongsToTheRight) {
    click({10, 50});  // row 1, column 0
    EXPECT_EQ(selected(), 3);
    click({60, 10});  // on the line between columns 0 and 1
    EXPECT_EQ(selected(), 1);
    // The press decides, not the release.
    QTest::mousePress(picture.get(), Qt::LeftButton, {}, {130, 10});
    QTest::mouseRelease(picture.get(), Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(selected(), 2);
}

TEST_F(ChoicePictureTest, ClicksMarkUnmarkAndMoveTheBlueFrame) {
    const QColor blue(0, 0, 255), white(255, 255, 255);
    click({30, 20});
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(pixel(0, 20), blue);
    click({30, 20});
    EXPECT_EQ(selected(), -1);
    EXPECT_EQ(pixel(0, 20), white);
    click({30, 20});
    click({90, 20});
    EXPECT_EQ(selected(), 1);
    EXPECT_EQ(pixel(0, 20), white);  // the old frame whited out
    EXPECT_EQ(pixel(61, 20), blue);
    EXPECT_NE(pixel(30, 20), blue);  // inside the cell the picture shows
}

TEST_F(ChoicePictureTest, CellsBeyondTheStatesAreIgnored) {
    click({30, 20});
    click({150, 60});  // cell 5
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(tipAt({150, 60}), "");
    EXPECT_EQ(tipAt({150, 20}), "tip2");
    EXPECT_EQ(tipAt({100, 60}), "tip4");
}

TEST_F(ChoicePictureTest, LastColumnAndRowFramesStayInside) {
    EXPECT_EQ(picture->frameRect(2), QRect(QPoint(120, 0), QPoint(178, 40)));
    EXPECT_EQ(picture->frameRect(4), QRect(QPoint(60, 40), QPoint(120, 78)));
    selected() = 5 - 1;  // cell 4 is in the last row
    picture->update();
    for (int y = 77; y <= 79; ++y) EXPECT_EQ(pixel(90, y), QColor(0, 0, 255)) << y;
    selected() = 2;
    picture->update();
    for (int x = 177; x <= 179; ++x) EXPECT_EQ(pixel(x, 20), QColor(0, 0, 255)) << x;
    EXPECT_NE(pixel(176, 20), QColor(0, 0, 255));
}

TEST_F(ChoicePictureTest, TheCurrentAnswerIsMarkedFromTheFirstPaint) {
    picture.reset();
    choose(1);
    ASSERT_TRUE(engine->openQuestion("CORPS"));
    EXPECT_EQ(selected(), 1);
    ChoicePicture fresh(engine->question(), {});
    fresh.resize(180, 80);
    ASSERT_TRUE(fresh.loadPicture(base.dataDir() + "corps.png"));
    EXPECT_EQ(shownPixel(fresh, 61, 20), QColor(0, 0, 255));
    EXPECT_FALSE(fresh.loadPicture(base.dataDir() + "missing.png"));
}

}  // namespace

namespace {

TEST_F(ChoicePictureTest, TheKeyboardMovesOverTheStatesOnlyAndSpaceToggles) {
    QSignalSpy confirm(picture.get(), &ChoicePicture::confirmRequested);
    QSignalSpy abandon(picture.get(), &ChoicePicture::abandonRequested);
    EXPECT_EQ(picture->focusCell(), 0);
    QTest::keyClick(picture.get(), Qt::Key_Down);  // row 1, column 0: state 3
    EXPECT_EQ(picture->focusCell(), 3);
    QTest::keyClick(picture.get(), Qt::Key_Right);
    QTest::keyClick(picture.get(), Qt::Key_Right);  // cell 5 names no state: stays on 4
    EXPECT_EQ(picture->focusCell(), 4);
    QTest::keyClick(picture.get(), Qt::Key_Down);
    EXPECT_EQ(picture->focusCell(), 4);
    QTest::keyClick(picture.get(), Qt::Key_Up);
    QTest::keyClick(picture.get(), Qt::Key_Up);
    EXPECT_EQ(picture->focusCell(), 1);
    QTest::keyClick(picture.get(), Qt::Key_Space);
    EXPECT_EQ(selected(), 1);
    QTest::keyClick(picture.get(), Qt::Key_Left);
    QTest::keyClick(picture.get(), Qt::Key_Left);
    EXPECT_EQ(picture->focusCell(), 0);
    QTest::keyClick(picture.get(), Qt::Key_Space);
    EXPECT_EQ(selected(), 0) << "the mark moves";
    QTest::keyClick(picture.get(), Qt::Key_Space);
    EXPECT_EQ(selected(), -1) << "and is removed";
    EXPECT_EQ(confirm.count(), 0);
    QTest::keyClick(picture.get(), Qt::Key_Enter);
    QTest::keyClick(picture.get(), Qt::Key_Escape);
    EXPECT_EQ(confirm.count(), 1);
    EXPECT_EQ(abandon.count(), 1);
    // A click moves the keyboard's place too.
    click({130, 10});
    EXPECT_EQ(picture->focusCell(), 2);
}

// A question opened again shows its picture without reading the file; a picture changed on
// disk since is read again and shown as it now is.
TEST_F(ChoicePictureTest, AQuestionOpenedAgainDoesNotReadItsPictureAgain) {
    const QString path = base.dataDir() + "corps.png";
    testing_support::FileOpenTrap trap(path);
    ASSERT_TRUE(trap.armed());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(picture->loadPicture(path));
    EXPECT_EQ(trap.opens(), 0);
    EXPECT_EQ(pixel(30, 20), QColor(80, 80, 80));

    QImage green(180, 80, QImage::Format_RGB32);
    green.fill(QColor(0, 200, 0));
    ASSERT_TRUE(green.save(path, "PNG"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
    file.close();
    const int opened = trap.opens();
    ASSERT_TRUE(picture->loadPicture(path));
    EXPECT_GT(trap.opens(), opened);
    EXPECT_EQ(pixel(30, 20), QColor(0, 200, 0));
}

}  // namespace
