#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "platform/picturecache.h"
#include "support/fileopentrap.h"

using platform::PictureCache;
using testing_support::FileOpenTrap;

namespace {

class PictureCacheTest : public ::testing::Test {
protected:
    // A plain picture of w x h pixels: w * h * 4 bytes once decoded.
    QString picture(const QString& name, int w, int h, QColor colour = Qt::red) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(PictureCacheTest, ASecondLoadOfTheSameFileDoesNotOpenIt) {
    const QString path = picture("a.png", 30, 20);
    PictureCache cache;
    FileOpenTrap trap(path);
    ASSERT_TRUE(trap.armed());
    const auto first = cache.load(path);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(trap.opens(), 1);
    // The same file by another spelling of its path is the same picture.
    const auto second = cache.load(dir.path() + "/./a.png");
    EXPECT_EQ(trap.opens(), 1);
    EXPECT_EQ(second.naturalSize(), QSizeF(30, 20));
    EXPECT_EQ(cache.count(), 1);
    EXPECT_EQ(cache.bytes(), 30 * 20 * 4);
}

TEST_F(PictureCacheTest, AFileChangedOnDiskIsReadAgain) {
    const QString path = picture("a.png", 30, 20, Qt::red);
    PictureCache cache;
    ASSERT_EQ(cache.load(path).render(QSize(1, 1)).pixelColor(0, 0), QColor(Qt::red));
    // The same size on disk, another colour: its date tells the change.
    picture("a.png", 30, 20, Qt::blue);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(cache.load(path).render(QSize(1, 1)).pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(cache.count(), 1);
    // A larger file in its place is read again too.
    picture("a.png", 50, 10);
    EXPECT_EQ(cache.load(path).naturalSize(), QSizeF(50, 10));
    EXPECT_EQ(cache.bytes(), 50 * 10 * 4);
    // A file gone is no longer shown from memory.
    ASSERT_TRUE(QFile::remove(path));
    QString error;
    EXPECT_TRUE(cache.load(path, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(cache.count(), 0);
    EXPECT_EQ(cache.bytes(), 0);
}

TEST_F(PictureCacheTest, TheBoundHoldsAndTheLeastRecentlyUsedGoFirst) {
    // Room for two pictures of 40 x 25 (4,000 bytes each), not three.
    PictureCache cache(9000);
    const QString a = picture("a.png", 40, 25), b = picture("b.png", 40, 25),
                  c = picture("c.png", 40, 25);
    cache.load(a);
    cache.load(b);
    cache.load(a);  // a used last: b is the oldest
    cache.load(c);
    EXPECT_EQ(cache.count(), 2);
    EXPECT_LE(cache.bytes(), cache.byteLimit());
    FileOpenTrap trapA(a), trapB(b);
    cache.load(a);
    EXPECT_EQ(trapA.opens(), 0);
    cache.load(b);
    EXPECT_EQ(trapB.opens(), 1);
    EXPECT_LE(cache.bytes(), cache.byteLimit());

    // A picture heavier than the whole bound is shown but not kept, and drops nothing.
    const QString big = picture("big.png", 100, 100);
    EXPECT_FALSE(cache.load(big).isNull());
    EXPECT_EQ(cache.count(), 2);
    FileOpenTrap trapBig(big);
    cache.load(big);
    EXPECT_EQ(trapBig.opens(), 1);
}

TEST_F(PictureCacheTest, WhatIsNotARegularFileIsNeverKept) {
    PictureCache cache;
    QString error;
    EXPECT_TRUE(cache.load(dir.path(), &error).isNull());
    EXPECT_TRUE(cache.load(dir.filePath("missing.png"), &error).isNull());
    EXPECT_EQ(cache.count(), 0);
}

}  // namespace
