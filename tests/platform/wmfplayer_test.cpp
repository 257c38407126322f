#include <gtest/gtest.h>

#include <QPainter>
#include <QtEndian>
#include <random>

#include "platform/wmfdib.h"
#include "platform/wmfformat.h"
#include "platform/wmfplayer.h"
#include "platform/wmfwriter.h"
#include "wmfsamples.h"

namespace wmf = platform::wmf;
using platform::WmfPlayer;
using wmftest::playInto;
using wmftest::RawWmf;

namespace {

constexpr QRgb Transparent = 0;
const QRgb Red = QColor(Qt::red).rgba();
const QRgb Green = QColor(Qt::green).rgba();
const QRgb Blue = QColor(Qt::blue).rgba();

QList<int> brush(QColor c, int style = wmf::BsSolid) {
    return QList<int>{style} + RawWmf::colour(c) + QList<int>{0};
}

QList<int> nullPen() {
    return {wmf::PsNull, 0, 0, 0, 0};
}

// Parameters of a rectangle record: bottom, right, top, left.
QList<int> rect(int left, int top, int right, int bottom) {
    return {bottom, right, top, left};
}

// Window 0,0 .. 100,100 with a null pen in slot 0 and red, green, blue brushes in slots 1-3.
RawWmf withBrushes() {
    RawWmf w;
    w.rec(wmf::SetWindowOrg, {0, 0}).rec(wmf::SetWindowExt, {100, 100});
    w.rec(wmf::CreatePenIndirect, nullPen()).rec(wmf::SelectObject, {0});
    w.rec(wmf::CreateBrushIndirect, brush(Qt::red));
    w.rec(wmf::CreateBrushIndirect, brush(Qt::green));
    w.rec(wmf::CreateBrushIndirect, brush(Qt::blue));
    return w;
}

}  // namespace

TEST(WmfPlayerTest, StandardAndPlaceableHeadersMapTheirWindowOntoTheTarget) {
    RawWmf w = withBrushes();
    w.rec(wmf::SelectObject, {1}).rec(wmf::Rectangle, rect(0, 0, 50, 100));
    const QByteArray standard = w.standard();
    WmfPlayer player(standard);
    EXPECT_FALSE(player.isPlaceable());
    EXPECT_TRUE(player.isComplete());
    EXPECT_EQ(player.frame(), QRect(0, 0, 100, 100));
    const QImage a = playInto(standard, QSize(60, 40));
    EXPECT_EQ(a.pixel(10, 20), Red);
    EXPECT_EQ(a.pixel(45, 20), Transparent);

    // Without window records the placeable box is the window.
    RawWmf p;
    p.rec(wmf::CreatePenIndirect, nullPen()).rec(wmf::SelectObject, {0});
    p.rec(wmf::CreateBrushIndirect, brush(Qt::red)).rec(wmf::SelectObject, {1});
    p.rec(wmf::Rectangle, rect(1000, 500, 1500, 1500));
    const QByteArray placeable = p.placeable(QRect(1000, 500, 1000, 1000), 1000);
    EXPECT_TRUE(WmfPlayer(placeable).isPlaceable());
    EXPECT_EQ(WmfPlayer(placeable).naturalSize(), QSizeF(96, 96));
    const QImage b = playInto(placeable, QSize(60, 40));
    EXPECT_EQ(b, a);

    // A file that sets no window at all is played a unit to a pixel.
    RawWmf bare;
    bare.rec(wmf::CreateBrushIndirect, brush(Qt::green)).rec(wmf::SelectObject, {0});
    bare.rec(wmf::Rectangle, rect(5, 5, 15, 15));
    const QImage c = playInto(bare.standard(), QSize(60, 40));
    EXPECT_FALSE(WmfPlayer(bare.standard()).hasFrame());
    EXPECT_EQ(c.pixel(10, 10), Green);
    EXPECT_EQ(c.pixel(20, 10), Transparent);
}

TEST(WmfPlayerTest, NegativeExtentsFlipThePicture) {
    // y grows upwards from the bottom edge, x leftwards from the right edge.
    RawWmf w = withBrushes();
    w.rec(wmf::SetWindowOrg, {0, 0}).rec(wmf::SetWindowExt, {-100, -100});
    w.rec(wmf::SetWindowOrg, {100, 100});
    w.rec(wmf::SelectObject, {1}).rec(wmf::Rectangle, rect(0, 0, 30, 30));
    const QImage image = playInto(w.standard(), QSize(100, 100));
    EXPECT_EQ(image.pixel(85, 85), Red);
    EXPECT_EQ(image.pixel(15, 15), Transparent);
    EXPECT_EQ(image.pixel(15, 85), Transparent);
}

TEST(WmfPlayerTest, WindowRecordsMoveAndScaleLaterFigures) {
    RawWmf w = withBrushes();
    w.rec(wmf::SelectObject, {1}).rec(wmf::Rectangle, rect(0, 0, 20, 20));
    w.rec(wmf::OffsetWindowOrg, {-50, -50});  // origin -50,-50: figures move right and down
    w.rec(wmf::SelectObject, {2}).rec(wmf::Rectangle, rect(0, 0, 20, 20));
    w.rec(wmf::SetWindowOrg, {0, 0});
    w.rec(wmf::ScaleWindowExt, {2, 1, 2, 1});  // extent halved: everything twice as large
    w.rec(wmf::SelectObject, {3}).rec(wmf::Rectangle, rect(40, 0, 50, 10));
    w.rec(wmf::SetWindowExt, {0, 0});  // refused: no mapping
    w.rec(wmf::Rectangle, rect(0, 40, 5, 45));
    const QImage image = playInto(w.standard(), QSize(100, 100));
    EXPECT_EQ(image.pixel(10, 10), Red);
    EXPECT_EQ(image.pixel(60, 60), Green);
    EXPECT_EQ(image.pixel(90, 10), Blue);
    EXPECT_EQ(image.pixel(5, 85), Blue);  // drawn with the halved extent still in force
}

TEST(WmfPlayerTest, EveryObjectKindTakesTheLowestFreeSlot) {
    QImage pattern(8, 8, QImage::Format_RGB32);
    pattern.fill(qRgb(10, 200, 30));
    RawWmf w;
    w.rec(wmf::SetWindowOrg, {0, 0}).rec(wmf::SetWindowExt, {100, 100});
    w.rec(wmf::CreatePalette, {0x300, 1, 0, 0});                        // 0
    w.recBytes(wmf::DibCreatePatternBrush, QByteArray("\5\0\0\0", 4) +  // 1
                                               wmf::encodeDib24(pattern));
    w.rec(wmf::CreateRegion, {0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // 2
    w.rec(wmf::CreatePenIndirect, nullPen());                     // 3
    w.rec(wmf::CreateBrushIndirect, brush(Qt::red));              // 4
    w.rec(wmf::SelectObject, {3}).rec(wmf::SelectObject, {4});
    w.rec(wmf::Rectangle, rect(0, 0, 25, 100));
    w.rec(wmf::SelectObject, {1}).rec(wmf::Rectangle, rect(25, 0, 50, 100));
    w.rec(wmf::DeleteObject, {0}).rec(wmf::DeleteObject, {2});
    w.rec(wmf::CreateBrushIndirect, brush(Qt::blue));   // 0
    w.rec(wmf::CreateBrushIndirect, brush(Qt::green));  // 2
    w.rec(wmf::SelectObject, {0}).rec(wmf::Rectangle, rect(50, 0, 75, 100));
    w.rec(wmf::SelectObject, {2}).rec(wmf::Rectangle, rect(75, 0, 100, 50));
    w.rec(wmf::SelectObject, {0}).rec(wmf::DeleteObject, {0});
    w.rec(wmf::SelectObject, {0});  // an empty slot changes nothing: blue stays selected
    w.rec(wmf::SelectObject, {400});
    w.rec(wmf::Rectangle, rect(75, 50, 100, 100));
    const QImage image = playInto(w.standard(6), QSize(100, 100));
    EXPECT_EQ(image.pixel(10, 50), Red);
    EXPECT_EQ(image.pixel(35, 50), qRgb(10, 200, 30));
    EXPECT_EQ(image.pixel(60, 50), Blue);
    EXPECT_EQ(image.pixel(90, 20), Green);
    EXPECT_EQ(image.pixel(90, 80), Blue);
}

TEST(WmfPlayerTest, NullPenNullBrushAndTheDefaultWhiteBrush) {
    RawWmf w;
    w.rec(wmf::SetWindowOrg, {0, 0}).rec(wmf::SetWindowExt, {100, 100});
    w.rec(wmf::CreatePenIndirect, nullPen()).rec(wmf::SelectObject, {0});
    w.rec(wmf::Rectangle, rect(0, 0, 50, 50));  // the device context starts with a white brush
    w.rec(wmf::CreateBrushIndirect, brush(Qt::red, wmf::BsNull)).rec(wmf::SelectObject, {1});
    w.rec(wmf::Rectangle, rect(50, 50, 100, 100));
    w.rec(wmf::Ellipse, rect(0, 50, 50, 100));
    const QImage image = playInto(w.standard(), QSize(100, 100));
    EXPECT_EQ(image.pixel(25, 25), qRgb(255, 255, 255));
    EXPECT_EQ(wmftest::colourCounts(image).size(), 2);  // white and transparent, no outline
}

TEST(WmfPlayerTest, RestoreDcByRelativeAndAbsoluteLevel) {
    RawWmf w = withBrushes();
    w.rec(wmf::SelectObject, {1}).rec(wmf::SaveDc, {});  // level 1: red
    w.rec(wmf::SelectObject, {2}).rec(wmf::SaveDc, {});  // level 2: green
    w.rec(wmf::SelectObject, {3}).rec(wmf::SaveDc, {});  // level 3: blue
    w.rec(wmf::SelectObject, {1});
    w.rec(wmf::RestoreDc, {-1}).rec(wmf::Rectangle, rect(0, 0, 25, 100));  // blue
    w.rec(wmf::RestoreDc, {1}).rec(wmf::Rectangle, rect(25, 0, 50, 100));  // red
    w.rec(wmf::SelectObject, {2});
    w.rec(wmf::RestoreDc, {-1}).rec(wmf::RestoreDc, {5});  // nothing left to restore
    w.rec(wmf::Rectangle, rect(50, 0, 75, 100));           // still green
    const QImage image = playInto(w.standard(), QSize(100, 100));
    EXPECT_EQ(image.pixel(10, 50), Blue);
    EXPECT_EQ(image.pixel(35, 50), Red);
    EXPECT_EQ(image.pixel(60, 50), Green);
}

TEST(WmfPlayerTest, PolyFillModeDecidesOverlaps) {
    // Two overlapping squares in one figure: the overlap is a hole only under the alternate
    // rule.
    const QList<int> squares = {2,  4,  4,  10, 10, 60, 10, 60, 60, 10,
                                60, 40, 40, 90, 40, 90, 90, 40, 90};
    for (const int mode : {int(wmf::PolyFillAlternate), int(wmf::PolyFillWinding)}) {
        RawWmf w = withBrushes();
        w.rec(wmf::SelectObject, {1}).rec(wmf::SetPolyFillMode, {mode});
        w.rec(wmf::PolyPolygon, squares);
        const QImage image = playInto(w.standard(), QSize(100, 100));
        EXPECT_EQ(image.pixel(20, 20), Red);
        EXPECT_EQ(image.pixel(50, 50), mode == wmf::PolyFillWinding ? Red : Transparent);
    }
}

TEST(WmfPlayerTest, BitmapsOfEveryDepthKeepTheirColours) {
    // An 8-bit bitmap with a colour table, two pixels wide, drawn by both bitmap records.
    QByteArray dib(40, '\0');
    auto* d = reinterpret_cast<uchar*>(dib.data());
    qToLittleEndian<quint32>(40, d);
    qToLittleEndian<qint32>(2, d + 4);
    qToLittleEndian<qint32>(1, d + 8);
    qToLittleEndian<quint16>(1, d + 12);
    qToLittleEndian<quint16>(8, d + 14);
    qToLittleEndian<quint32>(2, d + 32);
    dib += QByteArray("\x30\x20\x10\0\x01\x02\x03\0", 8);  // colours 0x102030, 0x030201
    dib += QByteArray("\1\0\0\0", 4);                      // pixels: entry 1, entry 0
    QByteArray stretch("\x20\0\xCC\0\0\0", 6);
    QByteArray blt("\x20\0\xCC\0", 4);
    for (const int v : {1, 2, 0, 0, 50, 100, 0, 0}) {
        stretch.append(char(v)).append('\0');
        blt.append(char(v)).append('\0');
    }
    RawWmf w = withBrushes();
    w.recBytes(wmf::StretchDib, stretch + dib);
    w.rec(wmf::SetWindowOrg, {-50, 0});  // y first: the second copy goes below
    w.recBytes(wmf::DibStretchBlt, blt + dib);
    const QImage image = playInto(w.standard(), QSize(100, 100));
    EXPECT_EQ(image.pixel(25, 25), qRgb(0x03, 0x02, 0x01));
    EXPECT_EQ(image.pixel(75, 25), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(image.pixel(25, 75), qRgb(0x03, 0x02, 0x01));
    EXPECT_EQ(image.pixel(75, 75), qRgb(0x10, 0x20, 0x30));

    // Pixels running past the record are refused, not read.
    RawWmf shortDib = withBrushes();
    shortDib.recBytes(wmf::StretchDib, stretch + dib.left(dib.size() - 2));
    shortDib.rec(wmf::SelectObject, {1}).rec(wmf::Rectangle, rect(90, 90, 100, 100));
    const QImage cut = playInto(shortDib.standard(), QSize(100, 100));
    EXPECT_EQ(cut.pixel(25, 25), Transparent);
    EXPECT_EQ(cut.pixel(95, 95), Red);
}

// Labels are smoothed, fills are not: a slanted edge next to a label still holds only the
// palette colour and the background, so the colour under the pointer names the part.
TEST(WmfPlayerTest, OnlyTextIsAntialiased) {
    platform::WmfWriter w(QSize(400, 300), 96);
    w.selectObject(w.createNullPen());
    w.selectObject(w.createSolidBrush(QColor(0x12, 0x80, 0x34)));
    w.polygon(QPolygon({QPoint(10, 10), QPoint(390, 60), QPoint(10, 140)}));
    w.selectObject(w.createFont(QStringLiteral("Sans Serif"), 60, 700));
    w.setBackgroundTransparent();
    w.setTextColour(Qt::black);
    w.textOut(QPoint(20, 180), QStringLiteral("Owl eyes"));
    const QImage image = playInto(w.data(), QSize(400, 300));
    const auto fills = wmftest::colourCounts(image.copy(0, 0, 400, 150));
    EXPECT_EQ(fills.size(), 2) << "the slanted fill is not smoothed";
    EXPECT_TRUE(fills.contains(qRgb(0x12, 0x80, 0x34)));
    const auto text = wmftest::colourCounts(image.copy(0, 160, 400, 140));
    EXPECT_GT(text.size(), 3) << "the label has grey edges";
}

TEST(WmfPlayerTest, ForgedCountsAreHeldToTheRecord) {
    RawWmf w = withBrushes();
    w.rec(wmf::SelectObject, {1});
    w.rec(wmf::Polygon, {30000, 0, 0, 50, 0, 0, 50});  // three points really
    w.rec(wmf::PolyPolygon, {2, 30000, 30000, 60, 60, 100, 60, 60, 100});
    w.rec(wmf::PolyPolygon, {60000});
    w.rec(wmf::TextOut, {20000, 0x4141});
    w.rec(wmf::ExtTextOut, {0, 0, 5000, wmf::EtoOpaque});
    w.rec(wmf::CreateFontIndirect, {10});
    w.rec(wmf::SelectObject, {2}).rec(wmf::Rectangle, rect(90, 0, 100, 10));
    const QImage image = playInto(w.standard(), QSize(100, 100));
    EXPECT_EQ(image.pixel(10, 10), Red);
    EXPECT_EQ(image.pixel(70, 70), Red);
    EXPECT_EQ(image.pixel(40, 40), Transparent);
    // The short font record still took slot 4, so slot 2 is still green.
    EXPECT_EQ(image.pixel(95, 5), Green);
}

TEST(WmfPlayerTest, BadRecordSizeStopsPlaybackAfterWhatIsSound) {
    RawWmf w = withBrushes();
    w.rec(wmf::SelectObject, {1}).rec(wmf::Rectangle, rect(0, 0, 50, 50));
    const QByteArray good = w.standard();
    const qsizetype cut = good.size() - 6;  // where the end record starts
    w.rec(wmf::SelectObject, {2}).rec(wmf::Rectangle, rect(50, 50, 100, 100));
    for (const quint32 size : {0u, 1u, 2u, 0xFFFFFFFFu, 0x10000u}) {
        QByteArray bad = w.standard();
        qToLittleEndian<quint32>(size, reinterpret_cast<uchar*>(bad.data()) + cut);
        WmfPlayer player(bad);
        EXPECT_TRUE(player.isValid());
        EXPECT_FALSE(player.isComplete()) << size;
        EXPECT_FALSE(player.errorString().isEmpty());
        const QImage image = playInto(bad, QSize(100, 100));
        EXPECT_EQ(image.pixel(25, 25), Red);
        EXPECT_EQ(image.pixel(75, 75), Transparent) << size;
    }
}

TEST(WmfPlayerTest, EveryTruncationIsDetectedAndPlaysSafely) {
    const QByteArray sample = wmftest::sampleDrawing();
    QImage image(40, 32, QImage::Format_ARGB32);
    for (qsizetype length = 0; length < sample.size(); ++length) {
        const QByteArray prefix = sample.left(length);
        WmfPlayer player(prefix);
        ASSERT_FALSE(player.isValid() && player.isComplete()) << length;
        ASSERT_FALSE(player.errorString().isEmpty()) << length;
        image.fill(Qt::transparent);
        QPainter painter(&image);
        player.play(painter, image.rect());
    }
    EXPECT_TRUE(WmfPlayer(sample).isComplete());
}

// A stall would show as the test's time-out; the player's speed is the benchmarks' to measure.
TEST(WmfPlayerTest, RandomByteFlipsNeverCrash) {
    const QByteArray sample = wmftest::sampleDrawing();
    std::mt19937 random(20240607);
    std::uniform_int_distribution<qsizetype> position(0, sample.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255), flips(1, 6);
    QImage image(48, 40, QImage::Format_ARGB32);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = sample;
        for (int i = flips(random); i > 0; --i) bytes[position(random)] = char(byte(random));
        image.fill(Qt::transparent);
        QPainter painter(&image);
        WmfPlayer(bytes).play(painter, image.rect());
    }
}

TEST(WmfPlayerTest, AFloodOfFiguresIsCutShort) {
    RawWmf w = withBrushes();
    w.rec(wmf::SelectObject, {1});
    for (int i = 0; i < 200000; ++i) w.rec(wmf::Rectangle, rect(-32000, -32000, 32000, 32000));
    // The last figure is green: once the work allowed for the picture is spent, it is never
    // painted and the picture stays as the first figures left it.
    w.rec(wmf::SelectObject, {2}).rec(wmf::Rectangle, rect(-32000, -32000, 32000, 32000));
    const QImage image = playInto(w.standard(), QSize(400, 400));
    EXPECT_EQ(image.pixel(200, 200), Red);
}
