#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "platform/picture.h"
#include "platform/wmfformat.h"
#include "platform/wmfplayer.h"
#include "platform/wmfwriter.h"
#include "wmfsamples.h"

using platform::WmfWriter;
using wmftest::playInto;

namespace {

constexpr QRgb Transparent = 0;

QRgb opaque(QColor c) {
    return c.rgba();
}

// 1000 x 800 units played into 500 x 400 pixels: a unit is half a pixel, so logical point
// (x, y) samples pixel (x / 2, y / 2).
QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x / 2, y / 2);
}

}  // namespace

TEST(WmfWriterTest, FilledFiguresKeepTheirExactColourAndLeaveTheRestTransparent) {
    WmfWriter w(QSize(1000, 800));
    w.selectObject(w.createNullPen());
    const QColor red(200, 10, 20), green(5, 150, 60), blue(30, 40, 220), grey(99, 98, 97);
    const int redBrush = w.createSolidBrush(red);
    const int greenBrush = w.createSolidBrush(green);
    const int blueBrush = w.createSolidBrush(blue);
    const int greyBrush = w.createSolidBrush(grey);
    w.selectObject(redBrush);
    w.rectangle(QRect(100, 100, 200, 100));
    w.selectObject(greenBrush);
    w.ellipse(QRect(400, 100, 200, 200));
    w.selectObject(blueBrush);
    w.polygon(QPolygon({QPoint(700, 300), QPoint(900, 300), QPoint(800, 100)}));
    w.selectObject(greyBrush);
    w.roundRect(QRect(100, 400, 200, 200), 60, 60);
    // A ring: the hole of the second polygon stays empty under the alternate rule.
    w.selectObject(redBrush);
    w.polyPolygon({QPolygon(QRect(400, 400, 200, 200)), QPolygon(QRect(450, 450, 100, 100))});

    const QImage image = playInto(w.data(), QSize(500, 400));
    EXPECT_EQ(at(image, 200, 150), opaque(red));
    EXPECT_EQ(at(image, 500, 200), opaque(green));
    EXPECT_EQ(at(image, 800, 250), opaque(blue));
    EXPECT_EQ(at(image, 200, 500), opaque(grey));
    EXPECT_EQ(at(image, 420, 420), opaque(red));
    EXPECT_EQ(at(image, 500, 500), Transparent);  // the hole
    EXPECT_EQ(at(image, 404, 104), Transparent);  // corner of the ellipse's box
    EXPECT_EQ(at(image, 104, 404), Transparent);  // rounded-off corner
    EXPECT_EQ(at(image, 720, 120), Transparent);  // beside the triangle
    EXPECT_EQ(at(image, 50, 50), Transparent);
    EXPECT_EQ(at(image, 950, 750), Transparent);
    EXPECT_EQ(wmftest::colourCounts(image).size(), 5);  // four fills and transparent, no blends
}

TEST(WmfWriterTest, PiesAndChordsRunCounterclockwiseFromStartToEnd) {
    WmfWriter w(QSize(1000, 800));
    w.selectObject(w.createNullPen());
    w.selectObject(w.createSolidBrush(Qt::red));
    // From the ray to the right round to the ray upwards: the upper-right quarter only.
    w.pie(QRect(100, 100, 400, 400), QPoint(500, 300), QPoint(300, 100));
    // From the left ray round to the right ray, counterclockwise: the lower half.
    w.chord(QRect(600, 100, 300, 300), QPoint(600, 250), QPoint(900, 250));

    const QImage image = playInto(w.data(), QSize(500, 400));
    EXPECT_EQ(at(image, 400, 200), opaque(Qt::red));
    EXPECT_EQ(at(image, 200, 200), Transparent);
    EXPECT_EQ(at(image, 200, 400), Transparent);
    EXPECT_EQ(at(image, 400, 400), Transparent);
    EXPECT_EQ(at(image, 750, 330), opaque(Qt::red));
    EXPECT_EQ(at(image, 750, 170), Transparent);
}

TEST(WmfWriterTest, PensOutlineAndNullBrushLeavesTheInsideEmpty) {
    WmfWriter w(QSize(1000, 800));
    w.selectObject(w.createNullBrush());
    w.selectObject(w.createPen(QColor(0, 0, 120), 20));
    w.rectangle(QRect(100, 100, 400, 400));
    const QImage image = playInto(w.data(), QSize(500, 400));
    EXPECT_EQ(at(image, 100, 300), opaque(QColor(0, 0, 120)));  // on the left side
    EXPECT_EQ(at(image, 300, 300), Transparent);
    EXPECT_EQ(at(image, 60, 300), Transparent);  // beyond half the pen's width
}

TEST(WmfWriterTest, SlotsFollowTheObjectTableAfterDeletes) {
    WmfWriter w(QSize(100, 100));
    const int first = w.createSolidBrush(Qt::red);
    const int second = w.createSolidBrush(Qt::green);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    w.deleteObject(first);
    const int third = w.createSolidBrush(Qt::blue);
    EXPECT_EQ(third, 0);
    EXPECT_EQ(w.createNullPen(), 2);

    w.selectObject(2);
    w.selectObject(third);
    w.rectangle(QRect(0, 0, 50, 100));
    w.selectObject(second);
    w.rectangle(QRect(50, 0, 50, 100));
    const QImage image = playInto(w.data(), QSize(100, 100));
    EXPECT_EQ(image.pixel(25, 50), opaque(Qt::blue));
    EXPECT_EQ(image.pixel(75, 50), opaque(Qt::green));
}

TEST(WmfWriterTest, RestoreDcBringsBackTheSavedBrush) {
    WmfWriter w(QSize(100, 100));
    w.selectObject(w.createNullPen());
    w.selectObject(w.createSolidBrush(Qt::red));
    w.saveDc();
    w.selectObject(w.createSolidBrush(Qt::blue));
    w.rectangle(QRect(0, 0, 50, 100));
    w.restoreDc();
    w.rectangle(QRect(50, 0, 50, 100));
    const QImage image = playInto(w.data(), QSize(100, 100));
    EXPECT_EQ(image.pixel(25, 50), opaque(Qt::blue));
    EXPECT_EQ(image.pixel(75, 50), opaque(Qt::red));
}

TEST(WmfWriterTest, TextIsDrawnInTheTextColourOnly) {
    WmfWriter w(QSize(400, 100));
    w.setBackgroundTransparent();
    w.selectObject(w.createFont(QStringLiteral("DejaVu Sans"), 60, 700));
    w.setTextColour(QColor(1, 2, 250));
    w.textOut(QPoint(10, 10), QStringLiteral("Œuf HH"));
    const QImage image = playInto(w.data(), QSize(400, 100));
    const auto counts = wmftest::colourCounts(image);
    EXPECT_GT(counts.value(opaque(QColor(1, 2, 250))), 300);
    // The edges of the glyphs are smoothed: the text colour, partly transparent.
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (qAlpha(it.key()) < 128) continue;
        const QRgb c = qUnpremultiply(it.key());
        EXPECT_LE(qRed(c) + qGreen(c), 12) << std::hex << it.key();
        EXPECT_GE(qBlue(c), 240) << std::hex << it.key();
    }
    // The glyphs hang below the given top-left corner, not above it.
    for (int x = 0; x < 400; ++x) ASSERT_EQ(image.pixel(x, 5), Transparent);
}

TEST(WmfWriterTest, StretchedImageKeepsItsPixels) {
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.setPixel(0, 0, qRgb(255, 255, 0));
    tile.setPixel(1, 0, qRgb(0, 255, 255));
    tile.setPixel(0, 1, qRgb(255, 0, 255));
    tile.setPixel(1, 1, qRgb(12, 34, 56));
    WmfWriter w(QSize(100, 100));
    w.stretchImage(QRect(20, 20, 60, 60), tile);
    const QImage image = playInto(w.data(), QSize(100, 100));
    EXPECT_EQ(image.pixel(35, 35), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(65, 35), qRgb(0, 255, 255));
    EXPECT_EQ(image.pixel(35, 65), qRgb(255, 0, 255));
    EXPECT_EQ(image.pixel(65, 65), qRgb(12, 34, 56));
    EXPECT_EQ(image.pixel(10, 10), Transparent);
}

TEST(WmfWriterTest, HeadersAreThoseAReaderChecks) {
    WmfWriter w(QSize(1200, 900), 1200);
    w.selectObject(w.createSolidBrush(Qt::red));
    w.rectangle(QRect(0, 0, 10, 10));
    const QByteArray bytes = w.data();
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    ASSERT_EQ(qFromLittleEndian<quint32>(d), platform::wmf::PlaceableKey);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i) checksum ^= qFromLittleEndian<quint16>(d + 2 * i);
    EXPECT_EQ(qFromLittleEndian<quint16>(d + 20), checksum);
    // The header's size counts every word after the placeable header.
    EXPECT_EQ(qFromLittleEndian<quint32>(d + 22 + 6) * 2, quint32(bytes.size() - 22));
    EXPECT_EQ(qFromLittleEndian<quint16>(d + 22 + 10), 1);  // objects

    platform::WmfPlayer player(bytes);
    EXPECT_TRUE(player.isValid());
    EXPECT_TRUE(player.isComplete());
    EXPECT_EQ(player.frame(), QRect(0, 0, 1200, 900));
    EXPECT_EQ(player.naturalSize(), QSizeF(96, 72));
}

TEST(WmfWriterTest, FiguresThatDoNotFitAreLeftOutAndReported) {
    WmfWriter w(QSize(100, 100));
    EXPECT_TRUE(w.errorString().isEmpty());
    w.selectObject(w.createSolidBrush(Qt::red));
    w.rectangle(QRect(0, 0, 40000, 10));
    EXPECT_FALSE(w.errorString().isEmpty());
    QPolygon many(40000);
    w.polygon(many);
    const QImage image = playInto(w.data(), QSize(100, 100));
    EXPECT_EQ(image.pixel(5, 5), Transparent);
}

TEST(WmfWriterTest, SaveWritesTheWholeFileOrNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray bytes = wmftest::sampleDrawing();
    WmfWriter w(QSize(100, 100));
    w.selectObject(w.createSolidBrush(Qt::red));
    w.rectangle(QRect(10, 10, 10, 10));
    const QString path = dir.filePath(QStringLiteral("couleur.wmf"));
    QString error;
    ASSERT_TRUE(w.save(path, &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), w.data());
    EXPECT_FALSE(platform::Picture::load(path).isNull());

    const QString badPath = dir.filePath(QStringLiteral("missing/sub/couleur.wmf"));
    EXPECT_FALSE(w.save(badPath, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("couleur.wmf")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("couleur.wmf")});
}
