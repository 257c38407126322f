#pragma once

#include <QBrush>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <optional>
#include <set>
#include <vector>

class QPainter;

namespace platform {

// One run of a metafile's records onto a painter: the device context state, its saved
// copies and the object table live here for the length of the run. The logical window is
// mapped onto the target rectangle; the painter's own transform stays underneath.
class WmfPlayback {
public:
    WmfPlayback(QPainter& painter, const QRectF& target, const QRect& frame, int objectCount);
    ~WmfPlayback();
    WmfPlayback(const WmfPlayback&) = delete;
    WmfPlayback& operator=(const WmfPlayback&) = delete;

    // Plays the records from the first one after the headers; the chain is known to fit.
    void run(const uchar* records, qsizetype size);

    // One record's parameters: 16-bit words, read only after checking they are there.
    struct Params {
        const uchar* data;
        qsizetype words;
        bool has(qsizetype n) const { return words >= n; }
        qint16 s(qsizetype i) const;
        quint16 u(qsizetype i) const;
        quint32 u32(qsizetype i) const;
        QColor colour(qsizetype i) const;
    };

private:
    struct Font {
        int height = 0;
        int escapement = 0;
        int weight = 400;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        QString face;
    };
    struct Object {
        enum Kind { Pen, Brush, FontObject, Other } kind = Other;
        QPen pen;
        qreal penWidth = 0;
        QBrush brush;
        Font font;
    };
    struct Dc {
        QPointF windowOrg;
        QSizeF windowExt;
        QPen pen{Qt::black};
        qreal penWidth = 0;
        QBrush brush{Qt::white};
        Font font;
        QColor textColour{Qt::black};
        QColor bkColour{Qt::white};
        bool opaqueBk = true;
        quint16 textAlign = 0;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        QPointF current;
        std::optional<QRectF> clip;
    };

    bool play(quint16 function, const Params& p);
    bool playState(quint16 function, const Params& p);
    bool playObject(quint16 function, const Params& p);
    bool playFigure(quint16 function, const Params& p);
    bool playPolygons(quint16 function, const Params& p);
    bool playBitmap(quint16 function, const Params& p);

    void createObject(Object object);
    void selectObject(int index);
    void deleteObject(int index);
    void restoreDc(int which);
    void setWindow(QPointF org, QSizeF ext);
    void applyClip();

    QTransform windowTransform() const;
    bool prepare(const QRectF& logicalBounds, bool fill);
    bool drawArcFigure(quint16 function, const Params& p);
    bool playText(quint16 function, const Params& p);
    void drawText(QPointF at, const QString& text, const std::optional<QRectF>& box,
                  quint16 options);
    void drawImage(const QRectF& dest, const QImage& image, QRect source);
    void fillRect(const QRectF& logical, const QBrush& brush);

    QPainter& m_painter;
    QRectF m_target;
    QTransform m_base;
    Dc m_dc;
    std::vector<Dc> m_saved;
    std::vector<std::optional<Object>> m_objects;
    std::set<int> m_freeSlots;
    qint64 m_points = 0;
    qreal m_area = 0;
    qreal m_areaCap = 0;
};

}  // namespace platform
