#pragma once

#include <QByteArray>
#include <QRect>
#include <QSizeF>
#include <QString>

class QPainter;
class QRectF;

namespace platform {

// Plays a Windows metafile onto a QPainter. The constructor checks the headers and walks
// the record chain once; play() then draws every sound record with antialiasing off, so
// flat fills keep their exact colour and whatever the figures leave untouched stays as it
// was. Playback stops at the end record or at the first record that is unsound.
class WmfPlayer {
public:
    explicit WmfPlayer(const QByteArray& data);

    // True when the data starts like a metafile (placeable key or a standard header).
    static bool looksLikeWmf(const QByteArray& data);

    // False with errorString() when the headers are unsound or no record can be read.
    bool isValid() const { return m_valid; }
    // Non-empty also for a valid metafile whose record chain is cut short.
    QString errorString() const { return m_error; }
    // True when the record chain ends with an end record, or exactly at the end of the data.
    bool isComplete() const { return m_complete; }
    bool isPlaceable() const { return m_placeable; }

    // The logical window mapped onto the target: the placeable bounding box, else the first
    // window origin and extent of the records (extents may be negative: the picture flips).
    // A file that sets none is played one logical unit to a pixel from the target's corner.
    bool hasFrame() const { return m_hasFrame; }
    QRect frame() const { return m_frame; }
    // Size in pixels at 96 dots an inch (placeable), else the frame's size in logical units.
    QSizeF naturalSize() const;

    void play(QPainter& painter, const QRectF& target) const;

private:
    bool readHeaders();
    void scanRecords();

    QByteArray m_data;
    qsizetype m_firstRecord = 0;
    qsizetype m_end = 0;
    int m_objectCount = 0;
    int m_unitsPerInch = 0;
    qint64 m_declaredBytes = 0;
    QRect m_frame;
    bool m_hasFrame = false;
    bool m_valid = false;
    bool m_complete = false;
    bool m_placeable = false;
    QString m_error;
};

}  // namespace platform
