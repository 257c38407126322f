#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>

class QPainter;

namespace platform {

// A picture loaded from a file: a Windows metafile played by our own player, an SVG
// drawing, or a raster image (BMP, GIF, PNG, JPEG, ICO). Copies share the loaded data, so
// tables of drawing layers can hold pictures by value.
class Picture {
public:
    Picture() = default;

    // A null picture, with the reason in *error, when the file is missing, truncated, not a
    // regular file, not a picture we can read, or larger than a picture may be (64 MB on disk,
    // 16 MB once a compressed drawing is expanded, 8192 x 8192 pixels, 32768 on a side).
    // Metafiles are recognised by their content, not their name. The bytes read are put in
    // *bytes when asked, so that a caller may keep the file as it is without reading it again.
    static Picture load(const QString& path, QString* error = nullptr, QByteArray* bytes = nullptr);
    // The same from bytes already in memory; name only goes into messages.
    static Picture fromData(const QByteArray& data, const QString& name = QString(),
                            QString* error = nullptr);

    bool isNull() const { return !m_data; }
    bool isVector() const;
    // Pixels for raster images and SVG; for metafiles, pixels at 96 dots an inch when the
    // file says how many units an inch holds, else logical units.
    QSizeF naturalSize() const;

    // Paints the picture stretched into the rectangle; areas it does not draw are untouched.
    void paint(QPainter& painter, const QRectF& target) const;
    // A null image when the size is beyond the limit of pixels.
    QImage render(QSize size, QColor background = Qt::transparent) const;

private:
    struct Data;
    std::shared_ptr<const Data> m_data;
};

}  // namespace platform
