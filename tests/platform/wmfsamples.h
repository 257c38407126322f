#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QMap>
#include <QRect>

// Metafiles for the picture tests: a record-by-record builder for the cases a writer never
// produces (standard headers, flipped windows, forged sizes), and one sample drawing that
// uses most record kinds.
namespace wmftest {

class RawWmf {
public:
    RawWmf& rec(quint16 function, const QList<int>& words);
    RawWmf& recBytes(quint16 function, const QByteArray& params);
    // The parameter words of a colour reference.
    static QList<int> colour(QColor c);

    QByteArray standard(int objects = 16) const;
    QByteArray placeable(QRect box, int unitsPerInch = 1440, int objects = 16) const;

private:
    QByteArray m_records;
};

// A drawing of 1000 x 800 units: filled figures, lines, text, a bitmap, saved states.
QByteArray sampleDrawing();

// Plays the metafile into a transparent image of that size, over the whole image.
QImage playInto(const QByteArray& wmf, QSize size);

// Every colour in the image with the count of its pixels.
QMap<QRgb, int> colourCounts(const QImage& image);

}  // namespace wmftest
