#include "authoring/compiler/picturewriter.h"

#include <gtest/gtest.h>
#include <QFontMetricsF>

// A picture of choices of many states, labels longer than their cells: each label shows in
// its own cell and none spills past the cell's edge.
TEST(PictureWriter, ManyLongLabelsStayInsideTheirCells) {
    authoring::KbSource kb;
    authoring::Question q;
    q.key = "HOST";
    q.rows = 20;
    q.columns = 10;
    for (int k = 0; k < 200; ++k) {
        authoring::State s;
        s.label =
            QStringLiteral("Quercus petraea subsp. iberica var. longifolia forma %1").arg(k + 1);
        q.states << s;
    }
    const QImage image = authoring::PictureWriter(kb).choicePicture(q);
    const int w = authoring::PictureWriter::kChoiceWidth,
              h = authoring::PictureWriter::kChoiceHeight;
    const auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 200; };
    // Ink on a cell's edge; cells without two whole lines of text (rows of pixels with ink).
    int spilled = 0, blank = 0;
    for (int k = 0; k < 200; ++k) {
        const int c = k % 10, r = k / 10;
        const int left = c * w / 10, right = (c + 1) * w / 10 - 1;
        const int top = r * h / 20, bottom = (r + 1) * h / 20 - 1;
        int inkedRows = 0;
        for (int y = top; y <= bottom; ++y) {
            spilled += dark(left, y) + dark(right, y);
            bool ink = false;
            for (int x = left; x <= right; ++x) ink = ink || dark(x, y);
            inkedRows += ink;
        }
        for (int x = left; x <= right; ++x) spilled += dark(x, top) + dark(x, bottom);
        blank += inkedRows < 14;
    }
    EXPECT_EQ(spilled, 0);
    EXPECT_EQ(blank, 0);
}

// A label too long for its cell keeps the whole lines the cell holds, the last one cut with
// an ellipsis; one that fits is left whole.
TEST(PictureWriter, ALongLabelKeepsWholeLinesAndEndsWithAnEllipsis) {
    QFont font;
    font.setPixelSize(11);
    const QFontMetricsF metrics(font);
    const QString label = "Quercus petraea subsp. iberica var. longifolia forma 7";
    const QStringList lines =
        authoring::PictureWriter::fittedLines(label, font, 84, 2.2 * metrics.lineSpacing())
            .split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(label.startsWith(lines[0] + " ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026))) << lines[1].toStdString();
    for (const QString& l : lines) EXPECT_LE(metrics.horizontalAdvance(l), 84);
    EXPECT_EQ(authoring::PictureWriter::fittedLines("Host plant 7", font, 84, 30), "Host plant 7");
    // A label that fits once wrapped is wrapped between its words, each line within the width.
    font.setPixelSize(26);
    const QStringList wrapped =
        authoring::PictureWriter::fittedLines("Tribe number 12", font, 160, 80).split('\n');
    EXPECT_EQ(wrapped.size(), 2);
    EXPECT_EQ(wrapped.join(' '), "Tribe number 12");
    for (const QString& l : wrapped) EXPECT_LE(QFontMetricsF(font).horizontalAdvance(l), 160);
}
