#include "authoring/compiler/picturewriter.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QImageWriter>

namespace {

QImage throughPng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return QImage::fromData(bytes, "png").convertToFormat(QImage::Format_RGB32);
}

}  // namespace

// A picture of choices made of texts, as an import draws it, has few colours: with a
// palette it is the same picture pixel for pixel once written and read back.
TEST(CompactPicture, APictureOfTextsKeepsEveryPixel) {
    authoring::KbSource kb;
    authoring::Question q;
    q.key = "C2";
    q.rows = 2;
    q.columns = 2;
    for (const char* label : {"less than 20 cm high", "20 to 30 cm high", "30 to 200 cm high",
                              "200 cm high or more, \xc3\xa9l\xc3\xa9gant"}) {
        authoring::State s;
        s.label = QString::fromUtf8(label);
        q.states << s;
    }
    kb.questions << q;
    const QImage image = authoring::PictureWriter(kb).choicePicture(q);
    const QImage compact = authoring::PictureWriter::compact(image);
    EXPECT_EQ(compact.format(), QImage::Format_Indexed8);
    EXPECT_EQ(throughPng(compact), image);
}

TEST(CompactPicture, ManyColoursAreLeftAsTheyAre) {
    QImage image(40, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) image.setPixel(x, y, qRgb(x * 6, y * 6, (x + y) % 256));
    const QImage same = authoring::PictureWriter::compact(image);
    EXPECT_EQ(same.format(), QImage::Format_RGB32);
    EXPECT_EQ(same, image);
    // 256 colours exactly still fit.
    QImage grey(256, 2, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x)
        grey.setPixel(x, 0, qRgb(x, x, x)), grey.setPixel(x, 1, qRgb(x, x, x));
    EXPECT_EQ(authoring::PictureWriter::compact(grey).format(), QImage::Format_Indexed8);
    EXPECT_EQ(throughPng(authoring::PictureWriter::compact(grey)), grey);
}
