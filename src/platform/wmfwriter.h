#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QSize>
#include <QString>

class QImage;

namespace platform {

// Writes a Windows metafile with a placeable header, record by record, as the knowledge-base
// compiler draws its layers and palette. Coordinates are logical units of a window of the
// given size with its origin at (0, 0); the reader stretches that window onto its target.
// Objects live in the metafile's object table: each create call returns the slot it took
// (the lowest free one, as the reader counts them), to be selected and deleted by that slot.
// Coordinates must fit in 16 bits; a figure that cannot be written (a coordinate out of
// range, too many points for one record) is left out and reported by errorString().
class WmfWriter {
public:
    enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };

    explicit WmfWriter(QSize logicalSize, int unitsPerInch = 1440);

    // Objects; each returns its slot in the object table.
    int createSolidBrush(const QColor& colour);
    int createNullBrush();
    int createPen(const QColor& colour, int width = 0, PenStyle style = PenStyle::Solid);
    int createNullPen();
    // height in logical units (character height); weight 400 normal, 700 bold.
    int createFont(const QString& faceName, int height, int weight = 400, bool italic = false);
    void selectObject(int slot);
    void deleteObject(int slot);

    // State.
    void setBackgroundTransparent();
    void setTextColour(const QColor& colour);
    void setPolyFillWinding(bool winding);
    void saveDc();
    void restoreDc();

    // Figures, filled with the selected brush and outlined with the selected pen.
    void polygon(const QPolygon& points);
    void polyline(const QPolygon& points);
    void polyPolygon(const QList<QPolygon>& polygons);
    void rectangle(const QRect& rect);
    void ellipse(const QRect& rect);
    void roundRect(const QRect& rect, int cornerWidth, int cornerHeight);
    // Arcs run counterclockwise from the ray through start to the ray through end.
    void arc(const QRect& rect, QPoint start, QPoint end);
    void pie(const QRect& rect, QPoint start, QPoint end);
    void chord(const QRect& rect, QPoint start, QPoint end);
    // Text with the selected font, its top-left corner at the given point.
    void textOut(QPoint topLeft, const QString& text);
    // The image as a 24-bit DIB stretched into the rectangle.
    void stretchImage(const QRect& target, const QImage& image);

    // The complete metafile, end record included.
    QByteArray data() const;
    // Writes data() through a temporary file renamed into place, so a failed save never
    // leaves a partial file behind.
    bool save(const QString& path, QString* error = nullptr) const;
    // Empty while every figure could be written.
    QString errorString() const { return m_error; }

private:
    void record(quint16 function, const QList<qint16>& params);
    void recordBytes(quint16 function, const QByteArray& params);
    int takeSlot();
    bool checkCoordinates(const QRect& rect);
    bool appendPoints(QByteArray& out, const QPolygon& points);
    void fail(const QString& message);

    QSize m_size;
    int m_unitsPerInch;
    QByteArray m_records;
    QList<bool> m_slots;
    int m_objectCount = 0;
    quint32 m_maxRecordWords = 0;
    QString m_error;
};

}  // namespace platform
