#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/picture.h"
#include "platform/wmfwriter.h"
#include "support/hostilefiles.h"
#include "wmfsamples.h"

using platform::Picture;
using testing_support::gzip;
using testing_support::pngClaiming;

namespace {

class PictureTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
};

// Four quarters in four colours, so a stretched render shows which way round it went.
QImage quarters() {
    QImage image(40, 20, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 20, 10, QColor(255, 0, 0));
    p.fillRect(20, 0, 20, 10, QColor(0, 255, 0));
    p.fillRect(0, 10, 20, 10, QColor(0, 0, 255));
    p.fillRect(20, 10, 20, 10, QColor(255, 255, 0));
    return image;
}

void expectQuarters(const Picture& picture) {
    ASSERT_FALSE(picture.isNull());
    const QImage image = picture.render(QSize(80, 80));
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(60, 20), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(20, 60), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(60, 60), qRgb(255, 255, 0));
}

}  // namespace

TEST_F(PictureTest, RasterFormatsLoadThroughQt) {
    for (const char* format : {"PNG", "BMP"}) {
        const QString path = m_dir.filePath(QStringLiteral("q.") + QString::fromLatin1(format));
        ASSERT_TRUE(quarters().save(path, format));
        QString error;
        const Picture picture = Picture::load(path, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_FALSE(picture.isVector());
        EXPECT_EQ(picture.naturalSize(), QSizeF(40, 20));
        expectQuarters(picture);
    }
}

TEST_F(PictureTest, SvgDrawingsAreVector) {
    const QString path = write(QStringLiteral("q.svg"),
                               "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='20'>"
                               "<rect x='0' y='0' width='20' height='10' fill='#ff0000'/>"
                               "<rect x='20' y='0' width='20' height='10' fill='#00ff00'/>"
                               "<rect x='0' y='10' width='20' height='10' fill='#0000ff'/>"
                               "<rect x='20' y='10' width='20' height='10' fill='#ffff00'/></svg>");
    const Picture picture = Picture::load(path);
    EXPECT_TRUE(picture.isVector());
    EXPECT_EQ(picture.naturalSize(), QSizeF(40, 20));
    expectQuarters(picture);
}

TEST_F(PictureTest, MetafilesAreRecognisedByContentNotName) {
    platform::WmfWriter w(QSize(400, 200), 100);
    w.selectObject(w.createNullPen());
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                              QColor(255, 255, 0)};
    for (int i = 0; i < 4; ++i) {
        w.selectObject(w.createSolidBrush(colours[i]));
        w.rectangle(QRect((i % 2) * 200, (i / 2) * 100, 200, 100));
    }
    const Picture picture = Picture::load(write(QStringLiteral("drawing.png"), w.data()));
    EXPECT_TRUE(picture.isVector());
    EXPECT_EQ(picture.naturalSize(), QSizeF(384, 192));
    expectQuarters(picture);

    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        quarters().save(&buffer, "PNG");
    }
    expectQuarters(Picture::load(write(QStringLiteral("LAYER.WMF"), png)));
}

TEST_F(PictureTest, TransparentBackgroundShowsLowerLayersThrough) {
    platform::WmfWriter lower(QSize(100, 100)), upper(QSize(100, 100));
    lower.selectObject(lower.createSolidBrush(Qt::red));
    lower.rectangle(QRect(0, 0, 100, 100));
    upper.selectObject(upper.createNullPen());
    upper.selectObject(upper.createSolidBrush(Qt::blue));
    upper.ellipse(QRect(25, 25, 50, 50));
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    for (const auto* layer : {&lower, &upper})
        Picture::fromData(layer->data()).paint(painter, QRectF(0, 0, 100, 100));
    painter.end();
    EXPECT_EQ(image.pixel(50, 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(10, 50), qRgb(255, 0, 0));
}

TEST_F(PictureTest, UnreadableFilesGiveANullPictureAndTheReason) {
    QString error;
    const QString missing = m_dir.filePath(QStringLiteral("ROBOT/absent.wmf"));
    EXPECT_TRUE(Picture::load(missing, &error).isNull());
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("not found"))) << error.toStdString();

    const QByteArray sample = wmftest::sampleDrawing();
    const QString truncated = write(QStringLiteral("cut.wmf"), sample.left(sample.size() / 2));
    EXPECT_TRUE(Picture::load(truncated, &error).isNull());
    EXPECT_TRUE(error.contains(QStringLiteral("truncated"))) << error.toStdString();

    for (const QByteArray& junk : {QByteArray(), QByteArray("GIF89a\1\0"), QByteArray(300, '\x5a'),
                                   QByteArray("\xd7\xcd\xc6\x9a", 4) + QByteArray(30, '\0')}) {
        error.clear();
        EXPECT_TRUE(Picture::load(write(QStringLiteral("junk.bmp"), junk), &error).isNull());
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(PictureTest, EveryPrefixOfAMetafileIsRefusedCleanly) {
    const QByteArray sample = wmftest::sampleDrawing();
    for (qsizetype length = 0; length < sample.size(); ++length) {
        QString error;
        ASSERT_TRUE(Picture::fromData(sample.left(length), QString(), &error).isNull()) << length;
        ASSERT_FALSE(error.isEmpty()) << length;
    }
    EXPECT_FALSE(Picture::fromData(sample).isNull());
}

namespace {

const QByteArray SmallSvg =
    "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
    "<rect width='10' height='10' fill='#ff0000'/></svg>";

}  // namespace

TEST_F(PictureTest, CompressedDrawingsExpandOnlyUpToALimit) {
    const Picture small = Picture::fromData(gzip(SmallSvg), "small.svgz");
    ASSERT_FALSE(small.isNull());
    EXPECT_EQ(small.render(QSize(4, 4)).pixel(2, 2), qRgb(255, 0, 0));

    // About 20 KB that would expand to 40 MB of comment inside a drawing.
    QByteArray bomb = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'><!--";
    bomb += QByteArray(40 << 20, ' ') + "--></svg>";
    QString error;
    EXPECT_TRUE(Picture::fromData(gzip(bomb), "bomb.svgz", &error).isNull());
    EXPECT_TRUE(error.contains("expands past")) << error.toStdString();

    EXPECT_TRUE(Picture::fromData(gzip(bomb).left(200), "cut.svgz", &error).isNull());
    EXPECT_TRUE(Picture::fromData(QByteArray("\x1f\x8bjunk", 6), "junk", &error).isNull());
}

TEST_F(PictureTest, PicturesLargerThanTheLimitAreRefusedBeforeTheirPixels) {
    QString error;
    EXPECT_TRUE(Picture::fromData(pngClaiming(100000, 100000), "huge.png", &error).isNull());
    EXPECT_TRUE(error.contains("100000 x 100000")) << error.toStdString();
    EXPECT_TRUE(Picture::fromData(pngClaiming(40000, 2), "wide.png", &error).isNull());

    QByteArray big = SmallSvg;
    big.replace("width='10' height='10'>", "width='100000' height='100000'>");
    EXPECT_TRUE(Picture::fromData(big, "huge.svg", &error).isNull());
    EXPECT_TRUE(error.contains("too large")) << error.toStdString();

    const Picture fine = Picture::fromData(SmallSvg);
    ASSERT_FALSE(fine.isNull());
    EXPECT_TRUE(fine.render(QSize(100000, 100000)).isNull());
    EXPECT_FALSE(fine.render(QSize(800, 600)).isNull());
}

// Within the limit, a large picture loads whole, in 8-bit and 16-bit channels alike.
TEST_F(PictureTest, PicturesUpToTheLimitLoad) {
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGBA64}) {
        QImage image(6000, 6000, format);
        image.fill(QColor(0x3d, 0x7a, 0x4a));
        QByteArray png;
        QBuffer buffer(&png);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(image.save(&buffer, "PNG"));
        image = QImage();
        QString error;
        const Picture picture = Picture::load(write("big.png", png), &error);
        ASSERT_FALSE(picture.isNull()) << error.toStdString();
        EXPECT_EQ(picture.naturalSize(), QSizeF(6000, 6000));
        EXPECT_EQ(picture.render(QSize(4, 4)).pixel(2, 2), qRgb(0x3d, 0x7a, 0x4a));
    }
    QString error;
    EXPECT_TRUE(Picture::fromData(pngClaiming(8193, 8192), "over.png", &error).isNull());
    EXPECT_TRUE(error.contains("8193 x 8192")) << error.toStdString();
}

TEST_F(PictureTest, OnlyRegularFilesAreLoaded) {
    QString error;
    EXPECT_TRUE(Picture::load("/dev/zero", &error).isNull());
    EXPECT_TRUE(error.contains("not a regular file")) << error.toStdString();
    EXPECT_TRUE(Picture::load(m_dir.path(), &error).isNull());
    const QString fifo = m_dir.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(Picture::load(fifo, &error).isNull());
    EXPECT_TRUE(Picture::load(m_dir.filePath("none.png"), &error).isNull());
    EXPECT_TRUE(error.contains("not found")) << error.toStdString();
}
