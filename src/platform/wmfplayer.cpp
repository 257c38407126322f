#include "platform/wmfplayer.h"

#include <QPainter>
#include <QtEndian>

#include "platform/wmfformat.h"
#include "platform/wmfplayback.h"

namespace platform {

namespace {

quint16 word(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(d.constData()) + at);
}

quint32 dword(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(d.constData()) + at);
}

bool standardHeaderAt(const QByteArray& d, qsizetype at) {
    if (d.size() < at + wmf::HeaderWords * 2) return false;
    const quint16 type = word(d, at);
    return (type == 1 || type == 2) && word(d, at + 2) == wmf::HeaderWords &&
           (word(d, at + 4) == 0x0100 || word(d, at + 4) == 0x0300);
}

}  // namespace

WmfPlayer::WmfPlayer(const QByteArray& data) : m_data(data) {
    if (!readHeaders()) return;
    scanRecords();
}

bool WmfPlayer::looksLikeWmf(const QByteArray& data) {
    if (data.size() >= 4 && dword(data, 0) == wmf::PlaceableKey) return true;
    return standardHeaderAt(data, 0);
}

bool WmfPlayer::readHeaders() {
    qsizetype at = 0;
    if (m_data.size() >= 4 && dword(m_data, 0) == wmf::PlaceableKey) {
        if (m_data.size() < wmf::PlaceableSize) {
            m_error = QStringLiteral("metafile truncated in its placeable header");
            return false;
        }
        m_placeable = true;
        const auto left = qint16(word(m_data, 6));
        const auto top = qint16(word(m_data, 8));
        const auto right = qint16(word(m_data, 10));
        const auto bottom = qint16(word(m_data, 12));
        m_unitsPerInch = word(m_data, 14);
        if (right != left && bottom != top) {
            m_frame = QRect(left, top, right - left, bottom - top);
            m_hasFrame = true;
        }
        at = wmf::PlaceableSize;
    }
    if (!standardHeaderAt(m_data, at)) {
        m_error = m_data.size() < at + wmf::HeaderWords * 2
                      ? QStringLiteral("metafile truncated in its header")
                      : QStringLiteral("not a Windows metafile (bad header)");
        return false;
    }
    m_declaredBytes = at + qint64(dword(m_data, at + 6)) * 2;
    m_objectCount = word(m_data, at + 10);
    m_firstRecord = at + wmf::HeaderWords * 2;
    return true;
}

// One pass over the record chain: where it ends, whether it is whole, and the first window
// when there is no placeable bounding box to map.
void WmfPlayer::scanRecords() {
    const qsizetype size = m_data.size();
    qsizetype at = m_firstRecord;
    QPoint origin;
    while (at + 6 <= size) {
        const quint32 words = dword(m_data, at);
        const quint16 function = word(m_data, at + 4);
        if (words < 3 || qint64(words) * 2 > size - at) {
            m_error = words < 3 ? QStringLiteral("metafile record with an invalid size")
                                : QStringLiteral("metafile truncated in a record");
            break;
        }
        if (function == wmf::Eof) {
            m_complete = true;
            at += 6;
            break;
        }
        if (!m_hasFrame && words >= 5 && function == wmf::SetWindowOrg)
            origin = QPoint(qint16(word(m_data, at + 8)), qint16(word(m_data, at + 6)));
        if (!m_hasFrame && words >= 5 && function == wmf::SetWindowExt) {
            const int w = qint16(word(m_data, at + 8));
            const int h = qint16(word(m_data, at + 6));
            if (w != 0 && h != 0) {
                m_frame = QRect(origin, QSize(w, h));
                m_hasFrame = true;
            }
        }
        at += qsizetype(words) * 2;
    }
    m_end = at;
    if (!m_complete && m_error.isEmpty()) {
        // Some writers leave out the end record; a cut at a record boundary shows only
        // against the size the header declares.
        if (at == size && m_declaredBytes <= size)
            m_complete = true;
        else
            m_error = QStringLiteral("metafile truncated in a record");
    }
    m_valid = at > m_firstRecord || m_complete;
    if (!m_valid && m_error.isEmpty()) m_error = QStringLiteral("metafile has no records");
}

QSizeF WmfPlayer::naturalSize() const {
    if (!m_hasFrame) return {};
    const QSizeF logical(qAbs(m_frame.width()), qAbs(m_frame.height()));
    if (m_placeable && m_unitsPerInch > 0) return logical * 96.0 / m_unitsPerInch;
    return logical;
}

void WmfPlayer::play(QPainter& painter, const QRectF& target) const {
    if (!m_valid || target.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    WmfPlayback playback(painter, target, m_hasFrame ? m_frame : QRect(), m_objectCount);
    playback.run(reinterpret_cast<const uchar*>(m_data.constData()) + m_firstRecord,
                 m_end - m_firstRecord);
    painter.restore();
}

}  // namespace platform
